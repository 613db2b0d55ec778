#pragma once
#include "Strings.h"

class QListWidget;

// The item list of a list box whose items each have a check box.
class CListBoxStrings : public CStrings {
public:
    explicit CListBoxStrings(QListWidget& list) : m_list(list) {}
    void Clear() override;
    int Add(std::string_view text) override;   // the new item is unchecked
    int Count() const override;
    std::string Item(int index) const override;

private:
    QListWidget& m_list;
};
