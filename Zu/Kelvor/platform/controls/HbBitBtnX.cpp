#include "HbBitBtnX.h"
#include "QtText.h"
#include "WidgetOf.h"
#include <QPushButton>

std::string CHbBitBtnX::GetCaption() const
{
    return ToStdString(WidgetOf<QPushButton>(m_pWidget).text());
}

// A disabled button ignores the click, as it ignores the mouse.
void CHbBitBtnX::Click()
{
    WidgetOf<QPushButton>(m_pWidget).click();
}

void CHbBitBtnX::ConnectClick()
{
    QObject::connect(&WidgetOf<QPushButton>(m_pWidget), &QPushButton::clicked, m_pWidget,
                     [this] { RaiseClick(); });
}
