#pragma once
#include "HbControl.h"

// Push button with a caption.
class CHbBitBtnX : public CHbControl {
public:
    std::string GetCaption() const;
    void Click();                       // as a user clicks (only when enabled)

protected:
    void ConnectClick() override;
};
