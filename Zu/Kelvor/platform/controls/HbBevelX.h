#pragma once
#include "HbControl.h"

// Information panel with a caption.
class CHbBevelX : public CHbControl {
public:
    void SetCaption(std::string_view caption);
    std::string GetCaption() const;
};
