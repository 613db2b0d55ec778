#pragma once
#include "HbControl.h"

// Check box with its label to the right.
class CHbLCheckX : public CHbControl {
public:
    void Attach(QWidget* widget, QLabel* label) override;
    int GetChecked() const;             // non-zero = checked
    void SetChecked(int checked);
    void Click();                       // as a user clicks: toggles, then the click event

protected:
    void ConnectClick() override;
};
