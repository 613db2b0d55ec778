#include "QtMessageService.h"
#include "QtText.h"
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <algorithm>

namespace {

constexpr unsigned ButtonsMask = 0xFu;

// The box belongs to the window the user is working in, so it is modal over it.
QWidget* Owner()
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : QApplication::activeWindow();
}

// The box sizes itself by its question and wraps the lines below it, so that a
// count line breaks before its last word. Each line gets the room it needs, up to
// a width that still fits beside the question on a small screen.
void KeepLinesWhole(QMessageBox& box)
{
    constexpr int kWidest = 640;
    auto* const label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    if (label == nullptr)
        return;
    int widest = 0;
    for (const QString& line : label->text().split(u'\n'))
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
    label->setMinimumWidth(std::min(widest, kWidest));
}

// One box for every kind, so that each can carry the informative and detailed text.
QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const SMessage& message, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, ToQString(message.caption), ToQString(message.text), buttons, Owner());
    box.setDefaultButton(defaultButton);
    box.setInformativeText(ToQString(message.informative));
    box.setDetailedText(ToQString(message.detailed));
    KeepLinesWhole(box);
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
