#include "HbLComboX.h"
#include "ComboStrings.h"
#include "QtText.h"
#include "WidgetOf.h"
#include <QComboBox>

CHbLComboX::CHbLComboX() = default;
CHbLComboX::~CHbLComboX() = default;

void CHbLComboX::Attach(QWidget* widget, QLabel* label)
{
    m_items = std::make_unique<CComboStrings>(WidgetOf<QComboBox>(widget));
    CHbControl::Attach(widget, label);
}

std::string CHbLComboX::GetText() const
{
    return GetItemIndex() < 0 ? std::string() : ToStdString(Combo()->currentText());
}

CStrings& CHbLComboX::GetItems()
{
    return *m_items;
}

void CHbLComboX::SetItemIndex(int index)
{
    Combo()->setCurrentIndex(index);
}

int CHbLComboX::GetItemIndex() const
{
    return Combo()->currentIndex();
}

bool CHbLComboX::SelectText(std::string_view text)
{
    const int index = Combo()->findText(ToQString(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return false;
    Combo()->setCurrentIndex(index);
    Q_EMIT Combo()->activated(index);
    return true;
}

QComboBox* CHbLComboX::Combo() const
{
    return &WidgetOf<QComboBox>(m_pWidget);
}
