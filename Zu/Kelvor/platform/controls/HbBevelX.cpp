#include "HbBevelX.h"
#include "QtText.h"
#include "WidgetOf.h"
#include <QLabel>

// Captions are written the Windows way; the label breaks lines at "\n" alone.
void CHbBevelX::SetCaption(std::string_view caption)
{
    WidgetOf<QLabel>(m_pWidget).setText(ToQString(caption).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

std::string CHbBevelX::GetCaption() const
{
    return ToStdString(WidgetOf<QLabel>(m_pWidget).text());
}
