#include "PhotographedMessageService.h"
#include "Screenshot.h"
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <stdexcept>
#include <utility>

CPhotographedMessageService::CPhotographedMessageService(CScriptedMessageService& script, std::string text, QString file)
    : m_script(script), m_text(std::move(text)), m_file(std::move(file))
{
}

int CPhotographedMessageService::Show(const SMessage& message)
{
    const int answer = m_script.Show(message);
    if (message.text != m_text)
        return answer;
    // Runs inside the box's own loop, once the box is up.
    std::string error;
    QTimer::singleShot(0, [this, &error] {
        auto* const box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        try {
            SaveScreenshot(*box, m_file);
        } catch (const std::runtime_error& e) {
            error = e.what();
        }
        box->done(0);
    });
    m_boxes.Show(message);
    if (!error.empty())
        throw std::runtime_error(error);
    return answer;
}
