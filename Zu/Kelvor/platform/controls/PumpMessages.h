#pragma once
#include <functional>

// Handles every event waiting for the user-interface thread, without waiting.
void HbPumpMessages();

// Tests see each pump (an empty function switches it off).
void SetPumpObserver(std::function<void()> observer);
