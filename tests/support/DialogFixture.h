#pragma once
#include "KelvorDlg.h"
#include "ScriptedMessageService.h"
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
    DialogFixture();
    ~DialogFixture() override;

    // Makes the practice (empty unless a generated one is asked for) before the dialog opens.
    void UsePractice(unsigned seed, long patients);
    TestPractice& Practice();
    // Opens the shared connections and creates the dialog's window (not shown).
    CKelvorDlg& OpenDialog(bool treaterMode);
    CKelvorDlg& Dlg() { return *m_dlg; }

    std::vector<std::string> MemoLines() const;

    CScriptedMessageService m_messages;
    std::vector<std::string> m_statements;
    std::vector<std::string> m_traces;
    // The progress bar's values and the window pumps, in order: "0", "33", "pump", ...
    std::vector<std::string> m_progress;

private:
    std::optional<TestPractice> m_practice;
    std::unique_ptr<CKelvorDlg> m_dlg;
    IMessageService* m_previousService = nullptr;
};
