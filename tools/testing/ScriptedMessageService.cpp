#include "ScriptedMessageService.h"

void CScriptedMessageService::SetNextAnswer(int answer)
{
    m_answers.push_back(answer);
}

int CScriptedMessageService::Show(MessageKind kind, const std::string& caption, const std::string& text, unsigned style)
{
    int answer = NoAnswer(kind, style);
    if (IsQuestion(kind, style) && !m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    m_messages.push_back({kind, caption, text, answer});
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
