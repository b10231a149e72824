#include "MediaHelper.h"

#include <QFile>
#include <QHash>
#include <QPixmap>
#include <QRegularExpression>

namespace {

const QString defaultColor = QStringLiteral("#303030");

struct IconCaches
{
    QHash<QString, QIcon> plain;
    QHash<QString, QIcon> colored;
};

// Held for the whole process and never destroyed: icons must not outlive the application object in a static
// destructor, where freeing their pixmaps would run without a GUI.
IconCaches& caches()
{
    static IconCaches* instance = new IconCaches;
    return *instance;
}

QString withSvgFill(const QString& text, const QString& color)
{
    const int start = text.indexOf(QLatin1String("<svg"));
    if (start < 0)
        return text;
    const int end = text.indexOf(QLatin1Char('>'), start);
    if (end < 0)
        return text;
    QString tag = text.mid(start, end - start);
    static const QRegularExpression fillAttribute(QStringLiteral("\\sfill\\s*=\\s*(\"[^\"]*\"|'[^']*')"));
    const QString attribute = QStringLiteral(" fill=\"") + color + QLatin1Char('"');
    const QRegularExpressionMatch match = fillAttribute.match(tag);
    if (match.hasMatch()) {
        tag.replace(match.capturedStart(), match.capturedLength(), attribute);
    } else {
        // A self-closing tag keeps its "/" just before the ">".
        const int insertAt = tag.endsWith(QLatin1Char('/')) ? int(tag.size()) - 1 : int(tag.size());
        tag.insert(insertAt, attribute);
    }
    return text.left(start) + tag + text.mid(end);
}

} // namespace

QString MediaHelper::localPath(const QString& path)
{
    if (path.startsWith(QLatin1String("qrc:/")))
        return path.mid(3);
    return path;
}

QIcon MediaHelper::icon(const QString& path)
{
    const QString local = localPath(path);
    auto& plain = caches().plain;
    auto found = plain.constFind(local);
    if (found != plain.constEnd())
        return *found;
    const QIcon loaded(local);
    plain.insert(local, loaded);
    return loaded;
}

QString MediaHelper::recolorSVG(const QString& path, const QMap<QString, QString>& colors)
{
    QFile file(localPath(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll()).trimmed();
    bool first = true;
    for (auto it = colors.cbegin(); it != colors.cend(); ++it) {
        const QString oldColor = it.key().isEmpty() ? defaultColor : it.key();
        if (first) {
            text = withSvgFill(text, it.value());
            first = false;
        }
        text.replace(oldColor, it.value(), Qt::CaseSensitive);
    }
    return text;
}

QImage MediaHelper::svgColored(const QString& path, const QMap<QString, QString>& colors)
{
    return QImage::fromData(recolorSVG(path, colors).toUtf8());
}

QIcon MediaHelper::iconColored(const QString& path, const QString& newColor, const QString& oldColor)
{
    return iconColored(path, QMap<QString, QString> { { oldColor, newColor } });
}

QIcon MediaHelper::iconColored(const QString& path, const QMap<QString, QString>& colors)
{
    if (colors.isEmpty())
        return icon(path);
    const QString key = colors.keys().join(QLatin1Char('-')) + colors.values().join(QLatin1Char('-')) + path;
    auto& colored = caches().colored;
    auto found = colored.constFind(key);
    if (found != colored.constEnd())
        return *found;
    QIcon result;
    if (path.contains(QLatin1String(".svg")))
        result = QIcon(QPixmap::fromImage(svgColored(path, colors)));
    else
        result = QIcon(QPixmap::fromImage(QImage(localPath(path))));
    colored.insert(key, result);
    return result;
}

void MediaHelper::clearCaches()
{
    caches().plain.clear();
    caches().colored.clear();
}
