#pragma once
#include "KelvorDlg.h"
#include "ScriptedMessageService.h"
#include "SeamScope.h"
#include "TestPractice.h"
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A dialog on a fresh practice, with every seam captured: messages (answered from
// a script), statements given to ExecuteSQL, trace entries. The shared database
// connections are open while the fixture lives.
class DialogFixture : public ::testing::Test {
protected:
    ~DialogFixture() override;

    // Makes the practice (empty unless a generated one is asked for) before the dialog opens.
    void UsePractice(unsigned seed, long patients);
    TestPractice& Practice();
    // Opens the shared connections and creates the dialog's window (not shown).
    CKelvorDlg& OpenDialog(bool treaterMode);
    CKelvorDlg& Dlg() { return *m_dlg; }

    std::vector<std::string> MemoLines() const;
    // Every message shown so far as "Kind: text".
    std::vector<std::string> MessageLines() const;

    CScriptedMessageService m_messages;
    std::vector<std::string> m_statements;
    std::vector<std::string> m_traces;
    // The progress bar's values and the window pumps, in order: "0", "33", "pump", ...
    std::vector<std::string> m_progress;

private:
    const CSeamScope<seam::MessageService> m_messageService{&m_messages};
    const CSeamScope<seam::DialogStatement> m_statementSink{
        [this](const std::string& statement) { m_statements.push_back(statement); }};
    const CSeamScope<seam::Trace> m_traceSink{[this](const std::string& text) { m_traces.push_back(text); }};
    const CSeamScope<seam::Progress> m_progressSink{[this](int percent) { m_progress.push_back(std::to_string(percent)); }};
    const CSeamScope<seam::Pump> m_pumpSink{[this] { m_progress.emplace_back("pump"); }};
    std::optional<TestPractice> m_practice;
    std::unique_ptr<CKelvorDlg> m_dlg;   // last: it goes before the seams and the practice
};
