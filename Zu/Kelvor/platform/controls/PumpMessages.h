#pragma once

// Handles every event waiting for the user-interface thread, without waiting.
void HbPumpMessages();
