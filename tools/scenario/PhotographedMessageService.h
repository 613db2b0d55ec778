#pragma once
#include "QtMessageService.h"
#include "ScriptedMessageService.h"
#include <QString>

// The scripted answers, except that the message with the given text is also shown
// as the program shows it, photographed and closed again (scripts/screenshots.sh).
class CPhotographedMessageService : public IMessageService {
public:
    CPhotographedMessageService(CScriptedMessageService& script, std::string text, QString file);

    int Show(const SMessage& message) override;

private:
    CScriptedMessageService& m_script;
    CQtMessageService m_boxes;
    std::string m_text;
    QString m_file;
};
