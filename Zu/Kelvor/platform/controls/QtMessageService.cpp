#include "QtMessageService.h"
#include "QtText.h"
#include <QApplication>
#include <QMessageBox>

namespace {

// The low four bits of a style choose the buttons.
constexpr unsigned ButtonsMask = 0xFu;

// The box belongs to the window the user is working in, so it is modal over it.
QWidget* Owner()
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : QApplication::activeWindow();
}

bool AskYesNo(const QString& caption, const QString& text, QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::question(Owner(), caption, text, QMessageBox::Yes | QMessageBox::No, defaultButton)
        == QMessageBox::Yes;
}

int ShowFrameworkBox(const QString& caption, const QString& text, unsigned style)
{
    if ((style & ButtonsMask) != MB_YESNO) {
        QMessageBox::warning(Owner(), caption, text);
        return IDOK;
    }
    const auto defaultButton = (style & MB_DEFBUTTON2) != 0 ? QMessageBox::No : QMessageBox::Yes;
    return AskYesNo(caption, text, defaultButton) ? IDYES : IDNO;
}

}

int CQtMessageService::Show(MessageKind kind, const std::string& caption, const std::string& text, unsigned style)
{
    const QString title = ToQString(caption);
    const QString message = ToQString(text);
    switch (kind) {
    case MessageKind::Halt:
        QMessageBox::critical(Owner(), title, message);
        return IDOK;
    case MessageKind::HaltE:
        QMessageBox::information(Owner(), title, message);
        return IDOK;
    case MessageKind::SollIch:
        return AskYesNo(title, message, QMessageBox::Yes) ? SOLLICH_YES : SOLLICH_NO;
    case MessageKind::MessageBox:
        break;
    }
    return ShowFrameworkBox(title, message, style);
}
