#pragma once
#include <functional>
#include <string_view>

// Named points of a run that its statements do not show (the billing-case rebuild
// runs on the shared connection), for the scenario runner. Without an observer
// nothing happens.
class CRunPoint {
public:
    using Observer = std::function<void(std::string_view point)>;
    static void SetObserver(Observer observer);
    static void Reach(std::string_view point);
};
