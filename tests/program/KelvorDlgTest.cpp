#include "DialogFixture.h"
#include "SeamScope.h"
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <string>
#include <vector>

namespace {

using KelvorDlgTest = DialogFixture;

// Title bar, Alt+F4 (both a close event) and Escape during a run leave the window
// up to the run's end; once it is over, closing ends the dialog.
TEST_F(KelvorDlgTest, ClosingTheWindowDuringARunDoesNothingAfterItEndsTheDialog)
{
    Practice().InsertRows("MANDANT", "MDID", { "01", "02" });
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.ShowWindow();
    QDialog& window = *dlg.Window();
    ASSERT_TRUE(dlg.m_ownerCombo.SelectText("02") && dlg.m_replacementCombo.SelectText("01"));
    m_messages.SetNextAnswer(SOLLICH_YES);
    m_messages.SetNextAnswer(IDNO);
    std::vector<bool> visible;
    {
        const CSeamScope<seam::DialogStatement> closing([&window, &visible](const std::string&) {
            window.close();
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &escape);
            visible.push_back(window.isVisible());
        });
        dlg.m_btnStart.Click();
    }
    EXPECT_EQ(MemoLines().back(), "FERTIG!");
    EXPECT_FALSE(visible.empty());
    EXPECT_EQ(visible, std::vector<bool>(visible.size(), true));
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

}
