#include "RunPoint.h"

namespace {
CRunPoint::Observer& CurrentObserver()
{
    static CRunPoint::Observer observer;
    return observer;
}
}  // namespace

void CRunPoint::SetObserver(Observer observer)
{
    CurrentObserver() = std::move(observer);
}

void CRunPoint::Reach(std::string_view point)
{
    if (const Observer& observer = CurrentObserver())
        observer(point);
}
