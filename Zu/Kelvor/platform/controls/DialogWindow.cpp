#include "DialogWindow.h"

DialogWindow::DialogWindow()
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint)
{
}

void DialogWindow::reject()
{
    if (!m_busy)
        QDialog::reject();
}
