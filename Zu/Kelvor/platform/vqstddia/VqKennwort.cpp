// The password prompt library; its export is VqKennwort.
#include "PasswordDialog.h"
#include "VqParams.h"
#include <QApplication>
#include <QMessageBox>
#include <sodium.h>
#include <string>

namespace {

constexpr int kAttempts = 3;

bool Matches(const std::string& hash, const QString& password)
{
    const QByteArray bytes = password.toUtf8();
    return crypto_pwhash_str_verify(hash.c_str(), bytes.constData(), static_cast<unsigned long long>(bytes.size())) == 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int VqKennwort(const char* prompt)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || sodium_init() < 0)
        return 0;
    const std::string hash = GetVqPasswordHash();
    // A practice without a stored hash grants access to nobody; asking would only mislead.
    if (hash.empty()) {
        QMessageBox::warning(nullptr, QStringLiteral("Kennwort"),
                             QStringLiteral("Für diese Praxis ist kein Passwort gesetzt.\n"
                                            "Es wird mit 'kelvor-praxis password <Praxisordner>' gesetzt."));
        return 0;
    }
    PasswordDialog dialog(QString::fromUtf8(prompt ? prompt : ""),
                          [&hash](const QString& password) { return Matches(hash, password); }, kAttempts);
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}
