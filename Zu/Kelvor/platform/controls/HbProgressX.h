#pragma once
#include "HbControl.h"

// Progress bar, range 0 to 100.
class CHbProgressX : public CHbControl {
public:
    void SetPercent(int percent);
    int GetPercent() const;
};
