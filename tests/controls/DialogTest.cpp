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

// A template with a labelled check box at (4, 8) sized 8 x 16 dialog units and
// a second one without label: whole multiples of the unit, so no rounding.
class SmallDialog : public CDialog {
public:
    SmallDialog() : CDialog(7) {}

    CHbLCheckX m_labelled;
    CHbLCheckX m_unlabelled;
    int m_missingId = 0;
    QRect m_geometryAtInit;

protected:
    void SetupTemplate(QDialog& window) override
    {
        window.setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
        auto* label = new QLabel(QStringLiteral("Beschriftung"), &window);  // owned by the window
        label->setObjectName(QStringLiteral("lbl_5"));
        label->setGeometry(4, 0, 40, 8);
        auto* box = new QCheckBox(&window);  // owned by the window
        box->setObjectName(QStringLiteral("ctl_5"));
        box->setGeometry(4, 8, 8, 16);
        auto* other = new QCheckBox(QStringLiteral("Ohne Beschriftung"), &window);  // owned by the window
        other->setObjectName(QStringLiteral("ctl_6"));
        other->setGeometry(20, 8, 40, 8);
    }
    void DoDataExchange() override
    {
        DDX_Control(5, m_labelled);
        DDX_Control(6, m_unlabelled);
        if (m_missingId != 0)
            DDX_Control(m_missingId, m_unlabelled);
    }
    bool OnInitDialog() override
    {
        m_geometryAtInit = GetDlgItem(5)->geometry();
        return CDialog::OnInitDialog();
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFont font(QStringLiteral("MS Sans Serif"), 8);
        font.setStyleHint(QFont::SansSerif);
        const QFontMetrics metrics(font);
        m_cx = metrics.averageCharWidth();
        m_cy = metrics.height();
    }
    void TearDown() override { CDialog::SetModalHook({}); }

    int m_cx = 0;
    int m_cy = 0;
};

TEST_F(DialogTest, TemplateUnitsBecomePixelsOfTheDialogFontBeforeInitialisation)
{
    SmallDialog dlg;
    ASSERT_TRUE(dlg.Create());
    ASSERT_GT(m_cx, 0);
    const QRect expected(m_cx, m_cy, 2 * m_cx, 2 * m_cy);
    EXPECT_EQ(dlg.GetDlgItem(5)->geometry(), expected);
    EXPECT_EQ(dlg.m_geometryAtInit, expected);
    EXPECT_EQ(dlg.Window()->findChild<QLabel*>(QStringLiteral("lbl_5"))->geometry(),
              QRect(m_cx, 0, 10 * m_cx, m_cy));
    // 520 x 240 units, and the user cannot resize it.
    EXPECT_EQ(dlg.Window()->minimumSize(), QSize(130 * m_cx, 30 * m_cy));
    EXPECT_EQ(dlg.Window()->maximumSize(), QSize(130 * m_cx, 30 * m_cy));
    EXPECT_FALSE(dlg.Window()->isVisible());
}

TEST_F(DialogTest, ControlsAreBoundByIdWithTheirLabels)
{
    SmallDialog dlg;
    dlg.Create();
    EXPECT_EQ(dlg.m_labelled.Widget(), dlg.GetDlgItem(5));
    EXPECT_EQ(dlg.m_labelled.GetLabelText(), "Beschriftung");
    EXPECT_EQ(dlg.GetDlgItem(5)->accessibleName(), QStringLiteral("Beschriftung"));
    EXPECT_EQ(dlg.m_unlabelled.GetLabelText(), "Ohne Beschriftung");
    EXPECT_EQ(dlg.GetDlgItem(4), nullptr);
}

TEST_F(DialogTest, BindingAnIdTheTemplateLacksFails)
{
    SmallDialog dlg;
    dlg.m_missingId = 9;
    EXPECT_THROW(dlg.Create(), std::logic_error);
}

TEST_F(DialogTest, ModalHookRunsInsideTheModalLoopAndEndsIt)
{
    SmallDialog dlg;
    bool shownModal = false;
    CDialog::SetModalHook([&shownModal](CDialog& running) {
        shownModal = running.Window()->isVisible() && QApplication::activeModalWidget() == running.Window();
        running.EndDialog(42);
    });
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(dlg.Window()->isVisible());
}

}
