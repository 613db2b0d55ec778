#include "QtMessageService.h"
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>

namespace {

// Shows one message and, once it is up, notes its buttons and presses the given
// one, or the default button (the Enter key) when none is given.
int ShowAndAnswer(MessageKind kind, unsigned style, QMessageBox::StandardButtons& buttons,
                  QMessageBox::StandardButton answer = QMessageBox::NoButton)
{
    QTimer::singleShot(0, qApp, [&buttons, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        buttons = box->standardButtons();
        (answer != QMessageBox::NoButton ? box->button(answer) : box->defaultButton())->click();
    });
    return CQtMessageService().Show(kind, "Kelvor", "Nochmal?", style);
}

TEST(QtMessageServiceTest, QuestionsAnswerInTheirOwnValues)
{
    QMessageBox::StandardButtons buttons;
    EXPECT_EQ(ShowAndAnswer(MessageKind::SollIch, MB_OK, buttons, QMessageBox::Yes), SOLLICH_YES);
    EXPECT_EQ(ShowAndAnswer(MessageKind::SollIch, MB_OK, buttons, QMessageBox::No), SOLLICH_NO);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
    // Enter takes the default: No when the second button is the default.
    EXPECT_EQ(ShowAndAnswer(MessageKind::MessageBox, MB_YESNO | MB_DEFBUTTON2, buttons), IDNO);
    EXPECT_EQ(ShowAndAnswer(MessageKind::MessageBox, MB_YESNO, buttons), IDYES);
}

TEST(QtMessageServiceTest, NoticesOfferOnlyOk)
{
    for (const MessageKind kind : { MessageKind::Halt, MessageKind::HaltE, MessageKind::MessageBox }) {
        QMessageBox::StandardButtons buttons;
        EXPECT_EQ(ShowAndAnswer(kind, MB_OK, buttons), IDOK);
        EXPECT_EQ(buttons, QMessageBox::Ok);
    }
}

}
