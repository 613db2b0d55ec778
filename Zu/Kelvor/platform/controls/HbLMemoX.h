#pragma once
#include "HbControl.h"
#include "Strings.h"
#include <memory>

// Read-only memo with a label above; scrolls to its newest line.
class CHbLMemoX : public CHbControl {
public:
    CHbLMemoX();
    ~CHbLMemoX() override;
    void Attach(QWidget* widget, QLabel* label) override;
    CStrings& GetLines();

private:
    std::unique_ptr<CStrings> m_lines;
};
