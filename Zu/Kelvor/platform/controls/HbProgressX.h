#pragma once
#include "HbControl.h"

// Progress bar, range 0 to 100.
class CHbProgressX : public CHbControl {
public:
    void SetPercent(int percent);
    int GetPercent() const;

    // Tests see every value set, repeated values included (an empty function switches it off).
    static void SetObserver(std::function<void(int percent)> observer);
};
