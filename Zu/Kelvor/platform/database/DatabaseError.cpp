#include "DatabaseError.h"
#include "OdbcConnection.h"
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>

namespace {

std::string WithoutPasswords(QString text)
{
    static const QRegularExpression password(QStringLiteral("\\b(PWD|PASSWORD)\\s*=\\s*(\\{[^}]*\\}|[^;]*);?"),
                                             QRegularExpression::CaseInsensitiveOption);
    return text.remove(password).toStdString();
}

} // namespace

std::string DatabaseErrorText(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text();
    return WithoutPasswords(text);
}

std::string StatementErrorText(const QSqlError& error, const QSqlDatabase& db)
{
    const std::string text = DatabaseErrorText(error);
    return text.empty() ? WithoutPasswords(QString::fromStdString(ConnectionDiagnostic(db))) : text;
}
