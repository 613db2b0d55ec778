#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;

// Asks for the access password: the caller's prompt, a hidden entry, OK and Cancel.
class PasswordDialog : public QDialog {
public:
    explicit PasswordDialog(const QString& prompt);

    QString Password() const;
    // Before a further attempt: says the last password was wrong and empties the entry.
    void ReportWrongPassword();

private:
    QLabel* m_warning = nullptr;
    QLineEdit* m_password = nullptr;
};
