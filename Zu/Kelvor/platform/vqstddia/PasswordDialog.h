#pragma once
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the access password: the caller's prompt, a hidden entry, OK and Cancel.
// A refused password is traced (never its text) and the next try is taken only after
// a pause, during which the dialog stays painted; after the last refused try it is
// rejected.
class PasswordDialog : public QDialog {
public:
    using Check = std::function<bool(const QString& password)>;
    PasswordDialog(const QString& prompt, Check check, int attempts);

private:
    void Try();
    void Refuse();
    void TakeTries(bool take);

    const Check m_check;
    const int m_attempts;
    int m_refused = 0;
    QLabel* m_warning = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_ok = nullptr;
};
