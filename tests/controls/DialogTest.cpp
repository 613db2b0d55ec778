#include "Dialog.h"
#include "HbLCheckX.h"
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// A labelled check box at (4, 8) sized 8 x 16 dialog units: whole multiples of
// the unit, so the expected pixels need no rounding.
class SmallDialog : public CDialog {
public:
    SmallDialog() : CDialog(7) {}

    CHbLCheckX m_check;
    int m_boundId = 5;
    QRect m_geometryAtInit;

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
    bool OnInitDialog() override
    {
        m_geometryAtInit = GetDlgItem(5)->geometry();
        return CDialog::OnInitDialog();
    }
};

TEST(DialogTest, TemplateUnitsBecomePixelsOfTheDialogFontBeforeInitialisation)
{
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    const int cx = QFontMetrics(font).averageCharWidth();
    const int cy = QFontMetrics(font).height();
    SmallDialog dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.m_geometryAtInit, QRect(cx, cy, 2 * cx, 2 * cy));
    EXPECT_EQ(dlg.Window()->minimumSize(), QSize(130 * cx, 30 * cy));
    EXPECT_EQ(dlg.Window()->maximumSize(), dlg.Window()->minimumSize());
    EXPECT_EQ(dlg.m_check.Widget(), dlg.GetDlgItem(5));
    EXPECT_EQ(dlg.m_check.GetLabelText(), "Beschriftung");
    EXPECT_FALSE(dlg.Window()->isVisible());

    SmallDialog missing;
    missing.m_boundId = 6;
    EXPECT_THROW(missing.Create(), std::logic_error);
}

TEST(DialogTest, ModalHookRunsInsideTheModalLoopAndEndsIt)
{
    SmallDialog dlg;
    bool shownModal = false;
    CDialog::SetModalHook([&shownModal](CDialog& running) {
        shownModal = QApplication::activeModalWidget() == running.Window();
        running.EndDialog(42);
    });
    EXPECT_EQ(dlg.DoModal(), 42);
    CDialog::SetModalHook({});
    EXPECT_TRUE(shownModal);
}

}
