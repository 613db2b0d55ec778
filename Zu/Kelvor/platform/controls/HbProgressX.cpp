#include "HbProgressX.h"
#include "Seams.h"
#include "WidgetOf.h"
#include <QProgressBar>

void CHbProgressX::SetPercent(int percent)
{
    WidgetOf<QProgressBar>(m_pWidget).setValue(percent);
    seam::Progress::Call(percent);
}

int CHbProgressX::GetPercent() const
{
    return WidgetOf<QProgressBar>(m_pWidget).value();
}
