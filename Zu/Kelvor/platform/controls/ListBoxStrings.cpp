#include "ListBoxStrings.h"
#include "QtText.h"
#include <QListWidget>

void CListBoxStrings::Clear()
{
    m_list.clear();
}

int CListBoxStrings::Add(std::string_view text)
{
    m_list.addItem(ToQString(text));
    const int index = m_list.count() - 1;
    QListWidgetItem* item = m_list.item(index);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return index;
}

int CListBoxStrings::Count() const
{
    return m_list.count();
}

std::string CListBoxStrings::Item(int index) const
{
    const QListWidgetItem* item = m_list.item(index);
    return item != nullptr ? ToStdString(item->text()) : std::string();
}
