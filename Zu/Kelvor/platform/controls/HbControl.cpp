#include "HbControl.h"
#include "QtText.h"
#include <QAbstractButton>
#include <QLabel>
#include <QWidget>
#include <utility>

void CHbControl::Attach(QWidget* widget, QLabel* label)
{
    m_pWidget = widget;
    m_pLabel = label;
    if (m_pLabel != nullptr)
        m_pLabel->setBuddy(m_pWidget);
    m_pWidget->setAccessibleName(ToQString(GetLabelText()));
    ConnectClick();
}

void CHbControl::SetVisible(bool visible)
{
    m_pWidget->setVisible(visible);
    if (m_pLabel != nullptr)
        m_pLabel->setVisible(visible);
}

// The control's own flag, not whether its window is on screen yet.
bool CHbControl::GetVisible() const
{
    return !m_pWidget->isHidden();
}

void CHbControl::SetEnabled(bool enabled)
{
    m_pWidget->setEnabled(enabled);
    if (m_pLabel != nullptr)
        m_pLabel->setEnabled(enabled);
}

bool CHbControl::GetEnabled() const
{
    return m_pWidget->isEnabled();
}

// A button (check box, push button) carries its label as its own text.
void CHbControl::SetLabelText(std::string_view text)
{
    const QString label = ToQString(text);
    if (m_pLabel != nullptr)
        m_pLabel->setText(label);
    else if (auto* button = qobject_cast<QAbstractButton*>(m_pWidget))
        button->setText(label);
    m_pWidget->setAccessibleName(label);
}

std::string CHbControl::GetLabelText() const
{
    if (m_pLabel != nullptr)
        return ToStdString(m_pLabel->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(m_pWidget))
        return ToStdString(button->text());
    return {};
}

void CHbControl::SetHint(std::string_view text)
{
    m_pWidget->setToolTip(ToQString(text));
}

std::string CHbControl::GetHint() const
{
    return ToStdString(m_pWidget->toolTip());
}

void CHbControl::SetFocus()
{
    m_pWidget->setFocus(Qt::OtherFocusReason);
}

// The window's focus child is the focus widget while the window is active and the
// one that gets the focus when it becomes active, so this holds before the window is shown.
bool CHbControl::HasFocus() const
{
    return m_pWidget->window()->focusWidget() == m_pWidget;
}

void CHbControl::OnClick(std::function<void()> handler)
{
    m_onClick = std::move(handler);
}

void CHbControl::RaiseClick() const
{
    if (m_onClick)
        m_onClick();
}
