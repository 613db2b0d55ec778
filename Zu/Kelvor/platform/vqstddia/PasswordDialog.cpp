#include "PasswordDialog.h"
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

PasswordDialog::PasswordDialog(const QString& prompt)
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
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_password->setFocus();
}

QString PasswordDialog::Password() const
{
    return m_password->text();
}

void PasswordDialog::ReportWrongPassword()
{
    m_warning->setText(QStringLiteral("Das Passwort ist falsch."));
    m_warning->setVisible(true);
    m_password->clear();
    m_password->setFocus();
}
