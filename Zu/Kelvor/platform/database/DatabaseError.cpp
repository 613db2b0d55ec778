#include "DatabaseError.h"
#include <QRegularExpression>
#include <QSqlError>

std::string DatabaseErrorText(const QSqlError& error)
{
    static const QRegularExpression password(QStringLiteral("\\b(PWD|PASSWORD)\\s*=\\s*(\\{[^}]*\\}|[^;]*);?"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text();
    return text.remove(password).toStdString();
}
