#include "HbLCheckX.h"
#include "WidgetOf.h"
#include <QCheckBox>

void CHbLCheckX::Attach(QWidget* widget, QLabel* label)
{
    WidgetOf<QCheckBox>(widget);
    CHbControl::Attach(widget, label);
}

int CHbLCheckX::GetChecked() const
{
    return WidgetOf<QCheckBox>(m_pWidget).isChecked() ? 1 : 0;
}

// Setting the state from the program is no click: no event.
void CHbLCheckX::SetChecked(int checked)
{
    WidgetOf<QCheckBox>(m_pWidget).setChecked(checked != 0);
}

void CHbLCheckX::Click()
{
    WidgetOf<QCheckBox>(m_pWidget).click();
}

// clicked comes from a mouse click, the keyboard and click(), never from setChecked.
void CHbLCheckX::ConnectClick()
{
    QObject::connect(&WidgetOf<QCheckBox>(m_pWidget), &QCheckBox::clicked, m_pWidget,
                     [this] { RaiseClick(); });
}
