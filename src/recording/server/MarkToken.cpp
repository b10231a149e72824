#include "MarkToken.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <array>

namespace {

constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;

} // namespace

bool MarkToken::isToken(const QByteArray& text)
{
    return text.size() == 32 && std::all_of(text.cbegin(), text.cend(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    });
}

QByteArray MarkToken::load(const QString& folder, QString* error)
{
    QFile file(QDir(folder).filePath(FileName));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray text = file.read(64).trimmed();
        file.close();
        if (isToken(text)) {
            // A copied or restored file may have come with wider permissions.
            if ((file.permissions() & ~OwnerOnly) != 0)
                file.setPermissions(OwnerOnly);
            return text;
        }
    }

    std::array<quint32, 4> bits {};
    QRandomGenerator::system()->fillRange(bits.data(), qsizetype(bits.size()));
    const QByteArray token = QByteArray(reinterpret_cast<const char*>(bits.data()), qsizetype(sizeof bits)).toHex();
    // Made with the owner's permissions only, never readable by others even for a moment.
    QDir().mkpath(folder.isEmpty() ? QStringLiteral(".") : folder);
    file.remove();
    const QByteArray line = token + '\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerOnly) || file.write(line) != line.size()
        || !file.flush()) {
        if (error)
            *error = file.errorString();
        file.close();
        file.remove();
    }
    return token;
}
