#include "PumpMessages.h"
#include "Seams.h"
#include "WindowServing.h"

void HbPumpMessages()
{
    seam::Pump::Call();
    CWindowServing::Serve();
}
