#include "PumpMessages.h"
#include "Seams.h"
#include <QCoreApplication>

void HbPumpMessages()
{
    seam::Pump::Call();
    QCoreApplication::processEvents();
}
