#pragma once
#include <sys/resource.h>
#include <chrono>

// Peak resident memory of the process so far, in KiB.
inline long PeakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

#include "Database.h"
#include "ScriptedMessageService.h"
#include "SeamScope.h"
#include "TestPractice.h"
#include <QApplication>
#include <cstdio>
#include <stdexcept>
#include <string>

// The window system, and a generated practice (its size the first argument, default
// 100,000 patients) with the shared connections open and every question answered no,
// for the benchmarks that run steps of the dialog.
class BenchmarkPractice {
public:
    BenchmarkPractice(int& argc, char** argv)
        : m_offscreen(qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"))), m_app(argc, argv),
          m_patients(argc > 1 ? std::stol(argv[1]) : 100000), m_practice(1, m_patients)
    {
        std::printf("practice of %ld patients generated in %.1f s; peak RSS %ld KiB\n", m_patients,
                    SecondsSince(m_generating), PeakRssKiB());
        if (!OpenDatabase(2))
            throw std::runtime_error("the practice database does not open");
    }
    ~BenchmarkPractice()
    {
        CloseDatabase();
    }
    BenchmarkPractice(const BenchmarkPractice&) = delete;
    BenchmarkPractice& operator=(const BenchmarkPractice&) = delete;

    const TestPractice& Practice() const { return m_practice; }

private:
    const bool m_offscreen;
    QApplication m_app;
    const long m_patients;
    const std::chrono::steady_clock::time_point m_generating = std::chrono::steady_clock::now();
    TestPractice m_practice;
    CScriptedMessageService m_messages;
    const CSeamScope<seam::MessageService> m_messageService{&m_messages};
};
