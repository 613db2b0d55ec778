#pragma once
#include <QDialog>

// The window of a dialog made from a template. While its dialog is busy, closing
// it (title bar, Escape, Alt+F4) does nothing: all three end in reject(), and a
// run that goes on behind a hidden window would be seen by nobody.
class DialogWindow : public QDialog {
public:
    DialogWindow();

    void SetBusy(bool busy) { m_busy = busy; }
    void reject() override;

private:
    bool m_busy = false;
};
