#pragma once

#include <QByteArray>
#include <QString>

// The secret a stimulus program shows when the mark endpoint asks for one: 128 random bits as 32 lower-case
// hexadecimal digits, made once and kept in a file of the data folder that only the user may read or write.
class MarkToken
{
public:
    static inline const QString FileName = QStringLiteral("MarkToken.txt");

    // The token in the folder's file; a new one when the file is missing or holds none, written to the file. When
    // the file cannot be written, error receives why and the token lasts for this run only.
    static QByteArray load(const QString& folder, QString* error = nullptr);
    static bool isToken(const QByteArray& text);
};
