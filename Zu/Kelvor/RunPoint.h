#pragma once
#include "Hook.h"
#include <string_view>

// Named points of a run that its statements do not show (the billing-case rebuild
// runs on the shared connection), for the scenario runner. Without an observer
// nothing happens.
class CRunPoint : CHook<CRunPoint, std::string_view> {
public:
    using Observer = Fn;
    static void SetObserver(Observer observer) { Set(std::move(observer)); }
    static void Reach(std::string_view point) { Call(point); }
};
