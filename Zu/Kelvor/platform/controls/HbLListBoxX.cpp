#include "HbLListBoxX.h"
#include "ListBoxStrings.h"
#include "WidgetOf.h"
#include <QListWidget>

CHbLListBoxX::CHbLListBoxX() = default;
CHbLListBoxX::~CHbLListBoxX() = default;

void CHbLListBoxX::Attach(QWidget* widget, QLabel* label)
{
    m_items = std::make_unique<CListBoxStrings>(WidgetOf<QListWidget>(widget));
    CHbControl::Attach(widget, label);
}

CStrings& CHbLListBoxX::GetItems()
{
    return *m_items;
}

int CHbLListBoxX::GetState(int index) const
{
    const QListWidgetItem* item = List()->item(index);
    return item != nullptr && item->checkState() == Qt::Checked ? 1 : 0;
}

void CHbLListBoxX::SetState(int index, int state)
{
    if (QListWidgetItem* item = List()->item(index))
        item->setCheckState((state & 3) == 1 ? Qt::Checked : Qt::Unchecked);
}

QListWidget* CHbLListBoxX::List() const
{
    return &WidgetOf<QListWidget>(m_pWidget);
}
