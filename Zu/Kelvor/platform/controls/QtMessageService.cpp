#include "QtMessageService.h"
#include "QtText.h"
#include <QApplication>
#include <QMessageBox>

namespace {

constexpr unsigned ButtonsMask = 0xFu;

// The box belongs to the window the user is working in, so it is modal over it.
QWidget* Owner()
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : QApplication::activeWindow();
}

// One box for every kind, so that each can carry the informative and detailed text.
QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const SMessage& message, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, ToQString(message.caption), ToQString(message.text), buttons, Owner());
    box.setDefaultButton(defaultButton);
    box.setInformativeText(ToQString(message.informative));
    box.setDetailedText(ToQString(message.detailed));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool AskYesNo(const SMessage& message, QMessageBox::StandardButton defaultButton)
{
    return Ask(QMessageBox::Question, message, QMessageBox::Yes | QMessageBox::No, defaultButton) == QMessageBox::Yes;
}

int Notice(QMessageBox::Icon icon, const SMessage& message)
{
    Ask(icon, message, QMessageBox::Ok, QMessageBox::Ok);
    return IDOK;
}

}

int CQtMessageService::Show(const SMessage& message)
{
    switch (message.kind) {
    case MessageKind::Halt:
        return Notice(QMessageBox::Critical, message);
    case MessageKind::HaltE:
        return Notice(QMessageBox::Information, message);
    case MessageKind::SollIch:
        return AskYesNo(message, QMessageBox::Yes) ? SOLLICH_YES : SOLLICH_NO;
    case MessageKind::MessageBox:
        break;
    }
    // The framework's box: the low four bits of the style choose the buttons.
    if ((message.style & ButtonsMask) != MB_YESNO)
        return Notice(QMessageBox::Warning, message);
    const auto defaultButton = (message.style & MB_DEFBUTTON2) != 0 ? QMessageBox::No : QMessageBox::Yes;
    return AskYesNo(message, defaultButton) ? IDYES : IDNO;
}
