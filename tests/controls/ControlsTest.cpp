#include "HbLCheckX.h"
#include "QtMessageService.h"
#include <QtWidgets>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The dialog's click handlers check and uncheck other boxes: only a user's click on
// an enabled box may raise the event, after the state changed, or one click cascades.
TEST(ControlsTest, ClickEventsComeFromEnabledClicksOnlyAfterTheStateChanged)
{
    QDialog window;
    CHbLCheckX check;
    check.Attach(new QCheckBox(&window), nullptr);  // owned by the window
    std::vector<int> seen;
    check.OnClick([&] { seen.push_back(check.GetChecked()); });
    check.Click();
    check.Click();
    check.SetChecked(1);
    check.SetEnabled(false);
    check.Click();
    EXPECT_EQ(seen, (std::vector<int>{ 1, 0 }));
}

// Each message is answered once it is up: by the given button, or by the default
// button (the Enter key) when none is given. Notices offer only Ok. Every kind shows
// the informative and the detailed text it is given.
TEST(QtMessageServiceTest, EachKindOffersItsButtonsAndAnswersInItsOwnValues)
{
    using Box = QMessageBox;
    const struct { MessageKind kind; unsigned style; Box::StandardButton press; int answer; } cases[] = {
        { MessageKind::SollIch, MB_OK, Box::NoButton, SOLLICH_YES },
        { MessageKind::SollIch, MB_OK, Box::No, SOLLICH_NO },
        { MessageKind::MessageBox, MB_YESNO | MB_DEFBUTTON2, Box::NoButton, IDNO },
        { MessageKind::MessageBox, MB_YESNO, Box::NoButton, IDYES },
        { MessageKind::MessageBox, MB_OK, Box::NoButton, IDOK },
        { MessageKind::Halt, MB_YESNO, Box::NoButton, IDOK },
        { MessageKind::HaltE, MB_YESNO, Box::NoButton, IDOK },
    };
    for (const auto& c : cases) {
        Box::StandardButtons offered;
        QString shown;
        QTimer::singleShot(0, qApp, [&offered, &shown, &c] {
            auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            offered = box->standardButtons();
            shown = box->informativeText() + u'|' + box->detailedText();
            (c.press != Box::NoButton ? box->button(c.press) : box->defaultButton())->click();
        });
        EXPECT_EQ(CQtMessageService().Show({c.kind, "Kelvor", "Nochmal?", c.style, "Patienten: 1.204 gelöscht", "PAT: 1.204 gelöscht"}),
                  c.answer) << &c - cases;
        EXPECT_EQ(shown, QStringLiteral("Patienten: 1.204 gelöscht|PAT: 1.204 gelöscht")) << &c - cases;
        EXPECT_EQ(offered, c.answer == IDOK ? Box::StandardButtons(Box::Ok) : Box::Yes | Box::No) << &c - cases;
    }
}

}
