#pragma once

// Serves the window now (CWindowServing::Serve), without waiting.
void HbPumpMessages();
