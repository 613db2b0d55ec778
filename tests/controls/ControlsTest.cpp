#include "HbBevelX.h"
#include "HbBitBtnX.h"
#include "HbLCheckX.h"
#include "HbLComboX.h"
#include "HbLListBoxX.h"
#include "HbLMemoX.h"
#include "HbProgressX.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A window holding the widgets under test; it is never shown unless a test says so.
class ControlsTest : public ::testing::Test {
protected:
    template <class W>
    W* Add(const char* name)
    {
        auto* widget = new W(&m_window);  // owned by the window
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }
    QLabel* Label(const char* text)
    {
        auto* label = new QLabel(QString::fromUtf8(text), &m_window);  // owned by the window
        return label;
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

TEST_F(ControlsTest, LabelTextIsAlsoTheAccessibleName)
{
    CHbLComboX combo;
    QLabel* label = Label("Zu löschender Praxisinhaber:");
    combo.Attach(Add<QComboBox>("ctl_1"), label);
    EXPECT_EQ(combo.Widget()->accessibleName(), QString::fromUtf8("Zu löschender Praxisinhaber:"));
    EXPECT_EQ(label->buddy(), combo.Widget());

    combo.SetLabelText("Ersatz-Behandler:");
    EXPECT_EQ(label->text(), QStringLiteral("Ersatz-Behandler:"));
    EXPECT_EQ(combo.GetLabelText(), "Ersatz-Behandler:");
    EXPECT_EQ(combo.Widget()->accessibleName(), QStringLiteral("Ersatz-Behandler:"));

    combo.SetHint("Wird eingetragen");
    EXPECT_EQ(combo.Widget()->toolTip(), QStringLiteral("Wird eingetragen"));
    EXPECT_EQ(combo.GetHint(), "Wird eingetragen");
}

TEST_F(ControlsTest, CheckBoxCarriesItsLabelAsItsText)
{
    CHbLCheckX check;
    auto* box = Add<QCheckBox>("ctl_2");
    box->setText(QStringLiteral("Laborrechnungen"));
    check.Attach(box, nullptr);
    EXPECT_EQ(check.GetLabelText(), "Laborrechnungen");
    EXPECT_EQ(box->accessibleName(), QStringLiteral("Laborrechnungen"));

    check.SetLabelText("FiBu-/Kassenbuch-TSE-Einträge");
    EXPECT_EQ(box->text(), QString::fromUtf8("FiBu-/Kassenbuch-TSE-Einträge"));
    EXPECT_EQ(box->accessibleName(), QString::fromUtf8("FiBu-/Kassenbuch-TSE-Einträge"));
}

TEST_F(ControlsTest, VisibilityIsTheControlsOwnFlagAndTakesTheLabelAlong)
{
    CHbLMemoX memo;
    QLabel* label = Label("Status:");
    memo.Attach(Add<QPlainTextEdit>("ctl_3"), label);
    ASSERT_FALSE(m_window.isVisible());
    EXPECT_TRUE(memo.GetVisible());
    memo.SetVisible(false);
    EXPECT_FALSE(memo.GetVisible());
    EXPECT_TRUE(label->isHidden());
    memo.SetVisible(true);
    EXPECT_TRUE(memo.GetVisible());
    EXPECT_FALSE(label->isHidden());

    memo.SetEnabled(false);
    EXPECT_FALSE(memo.GetEnabled());
    EXPECT_FALSE(label->isEnabled());
}

TEST_F(ControlsTest, FocusFollowsTheLastSetFocusBeforeAndAfterTheWindowIsShown)
{
    CHbLComboX first;
    CHbLComboX second;
    first.Attach(Add<QComboBox>("ctl_4"), nullptr);
    second.Attach(Add<QComboBox>("ctl_5"), nullptr);
    first.SetFocus();
    EXPECT_TRUE(first.HasFocus());
    EXPECT_FALSE(second.HasFocus());
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

TEST_F(ControlsTest, ComboAddingItemsSelectsNothingAndPicksAreExact)
{
    CHbLComboX combo;
    combo.Attach(Add<QComboBox>("ctl_6"), nullptr);
    CStrings& items = combo.GetItems();
    EXPECT_EQ(items.Add("01"), 0);
    EXPECT_EQ(items.Add("02"), 1);
    EXPECT_EQ(Items(items), (std::vector<std::string>{ "01", "02" }));
    EXPECT_EQ(combo.GetItemIndex(), -1);
    EXPECT_EQ(combo.GetText(), "");

    int picks = 0;
    QObject::connect(static_cast<QComboBox*>(combo.Widget()), &QComboBox::activated, &m_window,
                     [&picks](int) { ++picks; });
    EXPECT_TRUE(combo.SelectText("02"));
    EXPECT_EQ(combo.GetText(), "02");
    EXPECT_EQ(picks, 1);
    EXPECT_FALSE(combo.SelectText("0"));
    EXPECT_EQ(combo.GetText(), "02");
    EXPECT_EQ(picks, 1);

    // Adding to a combo with a selection keeps it.
    items.Add("03");
    EXPECT_EQ(combo.GetText(), "02");

    combo.SetItemIndex(-1);
    EXPECT_EQ(combo.GetText(), "");
    combo.SetItemIndex(0);
    EXPECT_EQ(combo.GetText(), "01");
    items.Clear();
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(combo.GetText(), "");
    combo.SetItemIndex(0);   // nothing there to select
    EXPECT_EQ(combo.GetItemIndex(), -1);
}

TEST_F(ControlsTest, ListItemsAreCheckableAndStartUnchecked)
{
    CHbLListBoxX list;
    list.Attach(Add<QListWidget>("ctl_7"), nullptr);
    CStrings& items = list.GetItems();
    items.Add("005");
    items.Add("007 - P1 (Dr. Anna Berger)");
    EXPECT_EQ(items.Add("009"), 2);
    EXPECT_EQ(Items(items), (std::vector<std::string>{ "005", "007 - P1 (Dr. Anna Berger)", "009" }));

    const auto* widget = static_cast<QListWidget*>(list.Widget());
    EXPECT_TRUE(widget->item(1)->flags() & Qt::ItemIsUserCheckable);
    list.SetState(1, 1);
    EXPECT_EQ(widget->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ((std::vector<int>{ list.GetState(0), list.GetState(1), list.GetState(2) }),
              (std::vector<int>{ 0, 1, 0 }));
    list.SetState(2, 5);   // only the low two bits count
    EXPECT_EQ(list.GetState(2), 1);
    list.SetState(2, 2);
    EXPECT_EQ(list.GetState(2), 0);
    EXPECT_EQ(list.GetState(3), 0);
    EXPECT_EQ(list.GetState(-1), 0);

    items.Clear();
    items.Add("005");
    EXPECT_EQ(list.GetState(0), 0);
    EXPECT_EQ(items.Count(), 1);
}

TEST_F(ControlsTest, CheckBoxRaisesOneClickPerClickAfterItsStateChanged)
{
    CHbLCheckX check;
    auto* box = Add<QCheckBox>("ctl_8");
    box->setText(QStringLiteral("Patienten ohne Leistungen"));
    box->setGeometry(0, 0, 200, 20);
    check.Attach(box, nullptr);
    std::vector<int> seen;
    check.OnClick([&] { seen.push_back(check.GetChecked()); });

    check.Click();
    check.Click();
    EXPECT_EQ(seen, (std::vector<int>{ 1, 0 }));

    check.SetChecked(1);
    check.SetChecked(0);
    EXPECT_EQ(seen.size(), 2u);

    // A mouse click on the box is the same event.
    const QPointF inside(5, 10);
    QMouseEvent press(QEvent::MouseButtonPress, inside, box->mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, box->mapToGlobal(inside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
    EXPECT_EQ(seen, (std::vector<int>{ 1, 0, 1 }));

    check.SetEnabled(false);
    check.Click();
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(check.GetChecked(), 1);
}

TEST_F(ControlsTest, ButtonClicksOnlyWhenEnabled)
{
    CHbBitBtnX button;
    auto* widget = Add<QPushButton>("ctl_9");
    widget->setText(QString::fromUtf8("Löschen starten"));
    button.Attach(widget, nullptr);
    int clicks = 0;
    button.OnClick([&clicks] { ++clicks; });
    button.Click();
    EXPECT_EQ(clicks, 1);
    button.SetEnabled(false);
    button.Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.GetCaption(), "Löschen starten");
    EXPECT_EQ(button.GetLabelText(), "Löschen starten");
}

TEST_F(ControlsTest, MemoKeepsEveryLineIncludingLeadingEmptyOnes)
{
    CHbLMemoX memo;
    memo.Attach(Add<QPlainTextEdit>("ctl_10"), nullptr);
    CStrings& lines = memo.GetLines();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.Add(""), 0);
    EXPECT_EQ(lines.Add(""), 1);
    lines.Add("Lösche Behandler 005");
    lines.Add("... 3 gelöscht.");
    EXPECT_EQ(Items(lines), (std::vector<std::string>{ "", "", "Lösche Behandler 005", "... 3 gelöscht." }));
    EXPECT_EQ(lines.Item(4), "");
    EXPECT_EQ(static_cast<QPlainTextEdit*>(memo.Widget())->toPlainText(),
              QString::fromUtf8("\n\nLösche Behandler 005\n... 3 gelöscht."));

    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    lines.Add("FERTIG!");
    EXPECT_EQ(Items(lines), (std::vector<std::string>{ "FERTIG!" }));
}

TEST_F(ControlsTest, MemoScrollsToItsNewestLine)
{
    CHbLMemoX memo;
    auto* edit = Add<QPlainTextEdit>("ctl_11");
    edit->setGeometry(0, 0, 200, 80);
    memo.Attach(edit, nullptr);
    m_window.resize(220, 100);
    m_window.show();
    for (int i = 0; i < 60; ++i)
        memo.GetLines().Add("Zeile " + std::to_string(i));
    QApplication::processEvents();
    EXPECT_GT(edit->cursorForPosition(QPoint(0, 0)).blockNumber(), 0);
    QTextCursor last(edit->document()->lastBlock());
    EXPECT_TRUE(edit->viewport()->rect().contains(edit->cursorRect(last)));
}

TEST_F(ControlsTest, PanelShowsWindowsLineBreaksAsLineBreaks)
{
    CHbBevelX panel;
    panel.Attach(Add<QLabel>("ctl_12"), nullptr);
    panel.SetCaption("Erste Zeile.\r\nZweite Zeile!!!");
    EXPECT_EQ(panel.GetCaption(), "Erste Zeile.\nZweite Zeile!!!");
    panel.SetCaption("Eins\nZwei");
    EXPECT_EQ(panel.GetCaption(), "Eins\nZwei");
}

TEST_F(ControlsTest, ProgressObserverSeesEveryValueSet)
{
    CHbProgressX progress;
    auto* bar = Add<QProgressBar>("ctl_13");
    bar->setRange(0, 100);
    progress.Attach(bar, nullptr);
    std::vector<int> seen;
    CHbProgressX::SetObserver([&seen](int percent) { seen.push_back(percent); });
    progress.SetPercent(33);
    progress.SetPercent(33);
    progress.SetPercent(0);
    CHbProgressX::SetObserver({});
    progress.SetPercent(67);
    EXPECT_EQ(seen, (std::vector<int>{ 33, 33, 0 }));
    EXPECT_EQ(progress.GetPercent(), 67);
}

TEST_F(ControlsTest, ControlOverAnotherKindOfWidgetIsRefused)
{
    CHbLComboX combo;
    EXPECT_THROW(combo.Attach(Add<QLabel>("ctl_14"), nullptr), std::invalid_argument);
    CHbLCheckX check;
    EXPECT_THROW(check.Attach(Add<QPushButton>("ctl_15"), nullptr), std::invalid_argument);
}

}
