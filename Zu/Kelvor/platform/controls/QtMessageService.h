#pragma once
#include "MessageService.h"

// The program's message service: Qt message boxes.
class CQtMessageService : public IMessageService {
public:
    int Show(MessageKind kind, const std::string& caption, const std::string& text, unsigned style) override;
};
