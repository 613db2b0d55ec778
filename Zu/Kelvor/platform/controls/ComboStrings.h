#pragma once
#include "Strings.h"

class QComboBox;

// The item list of a pick-only combo box.
class CComboStrings : public CStrings {
public:
    explicit CComboStrings(QComboBox& combo) : m_combo(combo) {}
    void Clear() override;
    int Add(std::string_view text) override;
    int Count() const override;
    std::string Item(int index) const override;

private:
    QComboBox& m_combo;
};
