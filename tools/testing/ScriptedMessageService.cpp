#include "ScriptedMessageService.h"

void CScriptedMessageService::SetNextAnswer(int answer)
{
    m_answers.push_back(answer);
}

int CScriptedMessageService::Show(const SMessage& message)
{
    int answer = NoAnswer(message.kind, message.style);
    if (IsQuestion(message.kind, message.style) && !m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    m_messages.push_back({message, answer});
    return answer;
}

const char* CScriptedMessageService::KindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Halt:
        return "Halt";
    case MessageKind::HaltE:
        return "HaltE";
    case MessageKind::SollIch:
        return "SollIch";
    case MessageKind::MessageBox:
        return "MessageBox";
    }
    return "";
}
