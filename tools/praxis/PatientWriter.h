#pragma once
#include "BackgroundFiles.h"
#include "PracticeStaff.h"
#include <filesystem>
#include <map>
#include <string>

// One patient at a time with everything that hangs on it: address, billing
// cases with services, findings, archive entries, invoices, payments and their
// journal rows, laboratory vouchers, transfer records, documents and a folder.
// Nothing is kept from one patient to the next, so memory stays flat; the folders
// are written on a thread of their own.
class PatientWriter {
public:
    PatientWriter(SampleDatabase& db, SeededRandom& random, const PracticeStaff& staff,
                  std::filesystem::path dataFolder)
        : m_db(db), m_random(random), m_staff(staff), m_dataFolder(std::move(dataFolder)) {}

    void Write(const std::string& patNr);
    // Returns once every patient's folder is written. Throws std::runtime_error.
    void Finish() { m_files.Finish(); }

private:
    struct BillingCase {
        std::string number;   // LFDPATBILL
        std::string owner;
        bool privatePractice = false;
    };

    void WriteAddressAndPatient(const std::string& mainTreater);
    void WriteBillingCase(const SampleTreater& treater, int number);
    void WriteInvoices(const BillingCase& billingCase, const std::string& type);
    std::string WriteInvoice(const BillingCase& billingCase);
    void WritePayment(const std::string& owner, const std::string& invoice, const std::string& amount);
    void WriteService(const std::string& treater, const std::string& billingCase, const std::string& flag);
    std::string WriteFindings(const std::string& type, const std::string& treater);
    void WriteLabVouchers();
    void WriteOwnerRecords(const std::string& owner);
    void WriteDocuments(const std::string& owner);
    void WriteFolder();
    std::string Next(const std::string& counter);   // running number within this patient

    SampleDatabase& m_db;
    SeededRandom& m_random;
    const PracticeStaff& m_staff;
    std::filesystem::path m_dataFolder;

    std::string m_patNr;
    std::map<std::string, int> m_counters;
    BackgroundFiles m_files;
};
