#include "ComboStrings.h"
#include "QtText.h"
#include <QComboBox>

void CComboStrings::Clear()
{
    m_combo.clear();
}

// Qt selects the first item added to an empty combo; here adding never selects.
int CComboStrings::Add(std::string_view text)
{
    const int selected = m_combo.currentIndex();
    m_combo.addItem(ToQString(text));
    m_combo.setCurrentIndex(selected);
    return m_combo.count() - 1;
}

int CComboStrings::Count() const
{
    return m_combo.count();
}

std::string CComboStrings::Item(int index) const
{
    return ToStdString(m_combo.itemText(index));
}
