#pragma once
#include <string>
#include <string_view>

// The item list of a control (the automation collection of the control library):
// dispatch id 4 clears it, dispatch id 5 adds one text.
class CStrings {
public:
    static constexpr int DISPID_CLEAR = 4;
    static constexpr int DISPID_ADD = 5;

    virtual ~CStrings() = default;
    virtual void Clear() = 0;
    virtual int Add(std::string_view text) = 0;   // index of the added item
    virtual int Count() const = 0;
    virtual std::string Item(int index) const = 0;
};
