#pragma once
#include "HbControl.h"
#include "Strings.h"
#include <memory>

class QComboBox;

// Pick-only combo box with a label to its left.
class CHbLComboX : public CHbControl {
public:
    CHbLComboX();
    ~CHbLComboX() override;
    void Attach(QWidget* widget, QLabel* label) override;

    std::string GetText() const;        // text of the selected item, empty when none
    CStrings& GetItems();
    void SetItemIndex(int index);       // -1 selects nothing
    int GetItemIndex() const;
    // As a user picks: selects the item with that text; false when there is none.
    bool SelectText(std::string_view text);

private:
    QComboBox* Combo() const;
    std::unique_ptr<CStrings> m_items;
};
