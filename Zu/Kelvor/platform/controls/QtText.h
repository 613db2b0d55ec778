#pragma once
#include <QString>
#include <string>
#include <string_view>

// The controls speak UTF-8 std::string to the program and QString to Qt.
inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text)
{
    return text.toStdString();
}
