#pragma once
#include "MessageService.h"
#include <deque>
#include <vector>

// The test double of the message service: questions (SollIch and yes/no message
// boxes) take the next answer given to it, or no when none is left; notices are
// answered IDOK. Every message is recorded with its answer.
class CScriptedMessageService : public IMessageService {
public:
    struct Message : SMessage {
        int answer;
    };

    void SetNextAnswer(int answer);
    int Show(const SMessage& message) override;
    const std::vector<Message>& Messages() const { return m_messages; }

    static const char* KindName(MessageKind kind);

private:
    std::deque<int> m_answers;
    std::vector<Message> m_messages;
};
