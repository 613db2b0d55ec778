#include "HbBevelX.h"
#include "HbBitBtnX.h"
#include "HbLCheckX.h"
#include "HbLComboX.h"
#include "HbLListBoxX.h"
#include "HbLMemoX.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <gtest/gtest.h>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// A window holding the widgets under test; not shown unless a test says so.
class ControlsTest : public ::testing::Test {
protected:
    template <class W>
    W* Add(const char* text = "")
    {
        auto* widget = new W(&m_window);  // owned by the window
        if constexpr (std::is_base_of_v<QAbstractButton, W> || std::is_same_v<W, QLabel>)
            widget->setText(QString::fromUtf8(text));
        return widget;
    }
    static std::vector<std::string> Items(const CStrings& strings)
    {
        std::vector<std::string> items;
        for (int i = 0; i < strings.Count(); ++i)
            items.push_back(strings.Item(i));
        return items;
    }

    QDialog m_window;
};

TEST_F(ControlsTest, LabelIsTheAccessibleNameAndFollowsVisibility)
{
    CHbLComboX combo;
    auto* label = Add<QLabel>("Ersatz-Praxisinhaber:");
    combo.Attach(Add<QComboBox>(), label);
    EXPECT_EQ(combo.Widget()->accessibleName(), QStringLiteral("Ersatz-Praxisinhaber:"));
    combo.SetLabelText("Ersatz-Behandler:");
    EXPECT_EQ(label->text(), QStringLiteral("Ersatz-Behandler:"));
    EXPECT_EQ(combo.Widget()->accessibleName(), QStringLiteral("Ersatz-Behandler:"));

    // A check box carries its label as its own text.
    CHbLCheckX check;
    auto* box = Add<QCheckBox>("Laborrechnungen");
    check.Attach(box, nullptr);
    check.SetLabelText("FiBu-/Kassenbuch-TSE-Einträge");
    EXPECT_EQ(box->text(), QString::fromUtf8("FiBu-/Kassenbuch-TSE-Einträge"));
    EXPECT_EQ(box->accessibleName(), box->text());

    // Visibility is the control's own flag, before its window is ever shown.
    EXPECT_TRUE(combo.GetVisible());
    combo.SetVisible(false);
    EXPECT_FALSE(combo.GetVisible());
    EXPECT_TRUE(label->isHidden());
}

TEST_F(ControlsTest, FocusIsTheWindowsFocusChildBeforeAndAfterShowing)
{
    CHbLComboX first;
    CHbLComboX second;
    first.Attach(Add<QComboBox>(), nullptr);
    second.Attach(Add<QComboBox>(), nullptr);
    first.SetFocus();
    second.SetFocus();
    EXPECT_FALSE(first.HasFocus());
    EXPECT_TRUE(second.HasFocus());

    m_window.show();
    QApplication::setActiveWindow(&m_window);
    first.SetFocus();
    EXPECT_EQ(QApplication::focusWidget(), first.Widget());
    EXPECT_TRUE(first.HasFocus());
    EXPECT_FALSE(second.HasFocus());
}

TEST_F(ControlsTest, ComboItemsNeverSelectThemselves)
{
    CHbLComboX combo;
    combo.Attach(Add<QComboBox>(), nullptr);
    CStrings& items = combo.GetItems();
    items.Add("01");
    EXPECT_EQ(items.Add("02"), 1);
    EXPECT_EQ(combo.GetText(), "");
    EXPECT_TRUE(combo.SelectText("02"));
    EXPECT_FALSE(combo.SelectText("0"));
    items.Add("03");
    EXPECT_EQ(combo.GetText(), "02");
    items.Clear();
    combo.SetItemIndex(0);
    EXPECT_EQ(combo.GetText(), "");
}

TEST_F(ControlsTest, ListItemsAreCheckedByTheLowTwoBits)
{
    CHbLListBoxX list;
    list.Attach(Add<QListWidget>(), nullptr);
    for (const char* text : { "005", "006 - 12 (Dr. Anna Berger)", "007" })
        list.GetItems().Add(text);
    list.SetState(1, 1);
    list.SetState(2, 5);
    list.SetState(2, 2);
    EXPECT_EQ((std::vector<int>{ list.GetState(0), list.GetState(1), list.GetState(2), list.GetState(3) }),
              (std::vector<int>{ 0, 1, 0, 0 }));
    EXPECT_EQ(static_cast<QListWidget*>(list.Widget())->item(1)->checkState(), Qt::Checked);
}

TEST_F(ControlsTest, ClickEventFiresOncePerClickAndNeverForSetChecked)
{
    CHbLCheckX check;
    auto* box = Add<QCheckBox>("Patienten ohne Leistungen");
    box->setGeometry(0, 0, 200, 20);
    check.Attach(box, nullptr);
    std::vector<int> seen;   // the state each event finds
    check.OnClick([&] { seen.push_back(check.GetChecked()); });
    check.Click();
    check.Click();
    check.SetChecked(1);
    check.SetChecked(0);
    const QPointF inside(5, 10);
    QMouseEvent press(QEvent::MouseButtonPress, inside, box->mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, box->mapToGlobal(inside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
    check.SetEnabled(false);
    check.Click();
    EXPECT_EQ(seen, (std::vector<int>{ 1, 0, 1 }));

    CHbBitBtnX button;
    button.Attach(Add<QPushButton>("Löschen starten"), nullptr);
    int clicks = 0;
    button.OnClick([&clicks] { ++clicks; });
    button.Click();
    button.SetEnabled(false);
    button.Click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, MemoKeepsLeadingEmptyLinesAndShowsTheNewest)
{
    CHbLMemoX memo;
    auto* edit = Add<QPlainTextEdit>();
    edit->setGeometry(0, 0, 200, 80);
    memo.Attach(edit, nullptr);
    CStrings& lines = memo.GetLines();
    lines.Add("");
    EXPECT_EQ(lines.Add(""), 1);
    lines.Add("Lösche Behandler 005");
    EXPECT_EQ(Items(lines), (std::vector<std::string>{ "", "", "Lösche Behandler 005" }));
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);

    m_window.resize(220, 100);
    m_window.show();
    for (int i = 0; i < 60; ++i)
        lines.Add("Zeile " + std::to_string(i));
    QApplication::processEvents();
    EXPECT_GT(edit->cursorForPosition(QPoint(0, 0)).blockNumber(), 0);
    EXPECT_TRUE(edit->viewport()->rect().contains(edit->cursorRect(QTextCursor(edit->document()->lastBlock()))));
}

TEST_F(ControlsTest, PanelBreaksWindowsLinesLikePlainOnes)
{
    CHbBevelX panel;
    panel.Attach(Add<QLabel>(), nullptr);
    panel.SetCaption("Erste Zeile.\r\nZweite Zeile!!!");
    EXPECT_EQ(panel.GetCaption(), "Erste Zeile.\nZweite Zeile!!!");
}

}
