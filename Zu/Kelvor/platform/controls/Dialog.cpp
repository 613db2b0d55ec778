#include "Dialog.h"
#include "DialogWindow.h"
#include "HbControl.h"
#include "Seams.h"
#include "WindowServing.h"
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <stdexcept>
#include <string>

namespace {

// Every template has this size, in dialog units.
constexpr int TemplateWidth = 520;
constexpr int TemplateHeight = 240;

// A run serves the window while it goes on: the hook waits for its end, as a
// user's input would.
void RunHookOutsideRuns(CDialog& dialog, const seam::Modal::Value& hook)
{
    if (!CWindowServing::Active()) {
        hook(dialog);
        return;
    }
    QTimer::singleShot(10, dialog.Window(), [&dialog, hook] { RunHookOutsideRuns(dialog, hook); });
}

// Dialog units to pixels: a horizontal unit is a quarter of the template font's
// average character width, a vertical unit an eighth of its height, rounded to
// the nearest pixel.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font)
    {
        const QFontMetrics metrics(font);
        m_cx = metrics.averageCharWidth();
        m_cy = metrics.height();
    }

    int X(int units) const { return Scale(units, m_cx, 4); }
    int Y(int units) const { return Scale(units, m_cy, 8); }
    QRect Rect(const QRect& units) const
    {
        return { X(units.x()), Y(units.y()), X(units.width()), Y(units.height()) };
    }

private:
    static int Scale(int units, int size, int parts) { return (2 * units * size + parts) / (2 * parts); }

    int m_cx;
    int m_cy;
};

// The template names its font; where it is not installed a sans font stands in.
QFont TemplateFont(const QDialog& window)
{
    QFont font = window.font();
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QString ObjectName(const char* prefix, int id)
{
    return QString::fromLatin1(prefix) + QString::number(id);
}

}

CDialog::CDialog(int templateId) : m_nTemplateId(templateId) {}

CDialog::~CDialog() = default;

int CDialog::DoModal()
{
    Create();
    if (const seam::Modal::Value& hook = seam::Modal::Slot())
        QTimer::singleShot(0, m_window.get(), [this, hook] { RunHookOutsideRuns(*this, hook); });
    return m_window->exec();
}

bool CDialog::Create()
{
    m_window = std::make_unique<DialogWindow>();
    SetupTemplate(*m_window);
    const DialogUnits units(TemplateFont(*m_window));
    for (QWidget* child : m_window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setGeometry(units.Rect(child->geometry()));
    m_window->setFixedSize(units.X(TemplateWidth), units.Y(TemplateHeight));
    return OnInitDialog();
}

void CDialog::EndDialog(int result)
{
    m_window->done(result);
}

void CDialog::SetBusy(bool busy)
{
    m_window->SetBusy(busy);
}

void CDialog::ShowWindow()
{
    m_window->show();
}

QWidget* CDialog::GetDlgItem(int id) const
{
    return m_window->findChild<QWidget*>(ObjectName("ctl_", id));
}

QDialog* CDialog::Window() const
{
    return m_window.get();
}

bool CDialog::OnInitDialog()
{
    DoDataExchange();
    return true;
}

void CDialog::DDX_Control(int id, CHbControl& control)
{
    QWidget* widget = GetDlgItem(id);
    if (widget == nullptr)
        throw std::logic_error("dialog template " + std::to_string(m_nTemplateId) + " has no control "
                               + std::to_string(id));
    control.Attach(widget, m_window->findChild<QLabel*>(ObjectName("lbl_", id)));
}
