#include "QtMessageService.h"
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Shows one message through the service and answers it, once it is up, with the
// given button, or with its default button (the Enter key) when none is given.
int ShowAndAnswer(MessageKind kind, const std::string& text, unsigned style, SeenBox& seen,
                  QMessageBox::StandardButton answer = QMessageBox::NoButton)
{
    QTimer::singleShot(0, qApp, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = { box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                 box->standardButton(box->defaultButton()) };
        box->button(answer != QMessageBox::NoButton ? answer : seen.defaultButton)->click();
    });
    CQtMessageService service;
    return service.Show(kind, "Kelvor", text, style);
}

TEST(QtMessageServiceTest, QuestionAnswersTenForYes)
{
    SeenBox seen;
    EXPECT_EQ(ShowAndAnswer(MessageKind::SollIch, "Behandlermodus?", MB_OK, seen, QMessageBox::Yes),
              SOLLICH_YES);
    EXPECT_EQ(seen.text, QStringLiteral("Behandlermodus?"));
    EXPECT_EQ(seen.title, QStringLiteral("Kelvor"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(ShowAndAnswer(MessageKind::SollIch, "Behandlermodus?", MB_OK, seen, QMessageBox::No),
              SOLLICH_NO);
}

TEST(QtMessageServiceTest, YesNoBoxWithSecondDefaultAnswersNoOnEnter)
{
    SeenBox seen;
    EXPECT_EQ(ShowAndAnswer(MessageKind::MessageBox, "Nochmal?", MB_YESNO | MB_DEFBUTTON2, seen), IDNO);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.defaultButton, QMessageBox::No);
    EXPECT_EQ(ShowAndAnswer(MessageKind::MessageBox, "Nochmal?", MB_YESNO, seen), IDYES);
    EXPECT_EQ(ShowAndAnswer(MessageKind::MessageBox, "Nochmal?", MB_YESNO | MB_DEFBUTTON2, seen,
                            QMessageBox::Yes),
              IDYES);
}

TEST(QtMessageServiceTest, NoticesHaveOneOkButtonAndTheirOwnIcon)
{
    SeenBox seen;
    EXPECT_EQ(ShowAndAnswer(MessageKind::Halt, "Sie müssen einen Ersatz-Behandler auswählen!", MB_OK, seen), IDOK);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.text, QString::fromUtf8("Sie müssen einen Ersatz-Behandler auswählen!"));
    EXPECT_EQ(ShowAndAnswer(MessageKind::HaltE, "Diese Praxis hat nur einen Behandler!", MB_OK, seen), IDOK);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(ShowAndAnswer(MessageKind::MessageBox, "Fehler beim Löschen", MB_OK, seen), IDOK);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

}
