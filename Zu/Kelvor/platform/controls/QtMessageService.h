#pragma once
#include "MessageService.h"

// The program's message service: Qt message boxes.
class CQtMessageService : public IMessageService {
public:
    int Show(const SMessage& message) override;
};
