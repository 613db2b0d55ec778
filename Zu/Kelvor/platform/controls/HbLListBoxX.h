#pragma once
#include "HbControl.h"
#include "Strings.h"
#include <memory>

class QListWidget;

// List box whose items each have a check box; a label above it.
class CHbLListBoxX : public CHbControl {
public:
    CHbLListBoxX();
    ~CHbLListBoxX() override;
    void Attach(QWidget* widget, QLabel* label) override;

    CStrings& GetItems();
    int GetState(int index) const;          // low two bits 1: checked
    void SetState(int index, int state);    // as a user ticks the item

private:
    QListWidget* List() const;
    std::unique_ptr<CStrings> m_items;
};
