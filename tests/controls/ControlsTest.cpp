#include "Dialog.h"
#include "HbBevelX.h"
#include "HbLCheckX.h"
#include "HbLComboX.h"
#include "HbLListBoxX.h"
#include "HbLMemoX.h"
#include "QtMessageService.h"
#include <QtWidgets>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// A labelled check box at (4, 8) sized 8 x 16 dialog units, bound by the given id:
// whole multiples of the unit, so the expected pixels need no rounding.
class SmallDialog : public CDialog {
public:
    explicit SmallDialog(int boundId) : CDialog(7), m_boundId(boundId) {}

    CHbLCheckX m_check;

protected:
    void SetupTemplate(QDialog& window) override
    {
        window.setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
        auto* label = new QLabel(QStringLiteral("Beschriftung"), &window);  // owned by the window
        label->setObjectName(QStringLiteral("lbl_5"));
        auto* box = new QCheckBox(&window);  // owned by the window
        box->setObjectName(QStringLiteral("ctl_5"));
        box->setGeometry(4, 8, 8, 16);
    }
    void DoDataExchange() override { DDX_Control(m_boundId, m_check); }

private:
    const int m_boundId;
};

// Nothing here shows the window: the controls' state must not depend on it.
TEST(ControlsTest, TemplateUnitsBindingTextsFocusAndClicksBeforeTheWindowShows)
{
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    const int cx = QFontMetrics(font).averageCharWidth();
    const int cy = QFontMetrics(font).height();
    SmallDialog dlg(5);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.m_check.Widget()->geometry(), QRect(cx, cy, 2 * cx, 2 * cy));
    EXPECT_EQ(dlg.Window()->minimumSize(), QSize(130 * cx, 30 * cy));
    EXPECT_EQ(dlg.m_check.GetLabelText(), "Beschriftung");
    EXPECT_THROW(SmallDialog(6).Create(), std::logic_error);

    QDialog& window = *dlg.Window();
    CHbLComboX combo;
    CHbLCheckX check;
    CHbBevelX panel;
    auto* label = new QLabel(&window);  // widgets are owned by the window
    auto* box = new QCheckBox(&window);
    combo.Attach(new QComboBox(&window), label);
    check.Attach(box, nullptr);
    panel.Attach(new QLabel(&window), nullptr);
    combo.SetLabelText("Ersatz-Behandler:");
    check.SetLabelText("FiBu-/Kassenbuch-TSE-Einträge");   // a check box carries its label as its own text
    panel.SetCaption("Erste Zeile.\r\nZweite Zeile!!!");
    EXPECT_EQ(combo.Widget()->accessibleName(), QStringLiteral("Ersatz-Behandler:"));
    EXPECT_EQ(box->text(), QString::fromUtf8("FiBu-/Kassenbuch-TSE-Einträge"));
    EXPECT_EQ(panel.GetCaption(), "Erste Zeile.\nZweite Zeile!!!");
    combo.SetFocus();
    EXPECT_TRUE(combo.HasFocus() && !check.HasFocus());
    combo.SetVisible(false);
    EXPECT_TRUE(!combo.GetVisible() && label->isHidden());

    // The click event comes after the state changed, from enabled clicks only, never from SetChecked.
    std::vector<int> seen;
    check.OnClick([&] { seen.push_back(check.GetChecked()); });
    check.Click();
    check.Click();
    check.SetChecked(1);
    check.SetChecked(0);
    check.SetEnabled(false);
    check.Click();
    EXPECT_EQ(seen, (std::vector<int>{ 1, 0 }));
}

TEST(ControlsTest, ItemListsNeverSelectCheckByTheLowTwoBitsAndShowTheNewestLine)
{
    QDialog window;
    CHbLComboX combo;
    combo.Attach(new QComboBox(&window), nullptr);  // owned by the window, as every widget here
    CStrings& items = combo.GetItems();
    items.Add("01");
    EXPECT_EQ(items.Add("02"), 1);
    EXPECT_EQ(combo.GetText(), "");
    EXPECT_TRUE(combo.SelectText("02"));
    EXPECT_FALSE(combo.SelectText("0"));
    items.Add("03");
    EXPECT_EQ(combo.GetText(), "02");

    CHbLListBoxX list;
    list.Attach(new QListWidget(&window), nullptr);
    for (const char* text : { "005", "006", "007" })
        list.GetItems().Add(text);
    for (const auto& [index, state] : { std::pair(0, 5), std::pair(1, 1), std::pair(1, 2), std::pair(2, 1) })
        list.SetState(index, state);
    const std::vector<int> states = { list.GetState(0), list.GetState(1), list.GetState(2), list.GetState(3) };
    EXPECT_EQ(states, (std::vector<int>{ 1, 0, 1, 0 }));

    CHbLMemoX memo;
    auto* edit = new QPlainTextEdit(&window);
    memo.Attach(edit, nullptr);
    CStrings& lines = memo.GetLines();
    lines.Add("");
    EXPECT_EQ(lines.Add("FERTIG!"), 1);
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("\nFERTIG!"));
    edit->setGeometry(0, 0, 200, 80);
    window.show();
    for (int i = 0; i < 60; ++i)
        lines.Add("Zeile " + std::to_string(i));
    QApplication::processEvents();
    EXPECT_TRUE(edit->viewport()->rect().contains(edit->cursorRect(QTextCursor(edit->document()->lastBlock()))));
}

// Each message is answered once it is up: by the given button, or by the default
// button (the Enter key) when none is given. Notices offer only Ok.
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
        QTimer::singleShot(0, qApp, [&offered, &c] {
            auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            offered = box->standardButtons();
            (c.press != Box::NoButton ? box->button(c.press) : box->defaultButton())->click();
        });
        EXPECT_EQ(CQtMessageService().Show(c.kind, "Kelvor", "Nochmal?", c.style), c.answer) << &c - cases;
        EXPECT_EQ(offered, c.answer == IDOK ? Box::StandardButtons(Box::Ok) : Box::Yes | Box::No) << &c - cases;
    }
}

}
