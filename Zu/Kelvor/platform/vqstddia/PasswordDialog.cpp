#include "PasswordDialog.h"
#include "HbTrace.h"
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace {

// Guessing costs time: after a refused password the entry waits this long.
constexpr int kPauseMs = 2000;

} // namespace

PasswordDialog::PasswordDialog(const QString& prompt, Check check, int attempts)
    : m_check(std::move(check)), m_attempts(attempts)
{
    setWindowTitle(QStringLiteral("Kennwort"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt.trimmed(), this);
    label->setWordWrap(true);
    layout->addWidget(label);
    m_warning = new QLabel(this);
    m_password = new QLineEdit(this);
    m_warning->setVisible(false);
    layout->addWidget(m_warning);
    m_password->setEchoMode(QLineEdit::Password);
    layout->addWidget(m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordDialog::Try);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_password->setFocus();
}

void PasswordDialog::Try()
{
    if (m_check(m_password->text()))
        accept();
    else
        Refuse();
}

void PasswordDialog::Refuse()
{
    ++m_refused;
    HbTrace(1, 0, __FILE__, __LINE__, "VqKennwort: Passwort abgelehnt (Versuch %d von %d)", m_refused, m_attempts);
    if (m_refused == m_attempts) {
        reject();
        return;
    }
    m_warning->setText(QStringLiteral("Das Passwort ist falsch."));
    m_warning->setVisible(true);
    m_password->clear();
    // A timer, not a sleep: the dialog is served and painted while it waits; Cancel still works.
    TakeTries(false);
    QTimer::singleShot(kPauseMs, Qt::PreciseTimer, this, [this] { TakeTries(true); });
}

void PasswordDialog::TakeTries(bool take)
{
    m_password->setEnabled(take);
    m_ok->setEnabled(take);
    if (take)
        m_password->setFocus();
}
