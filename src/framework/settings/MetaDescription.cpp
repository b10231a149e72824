#include "MetaDescription.h"

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QMetaClassInfo>
#include <QMetaProperty>
#include <QPoint>
#include <QPointF>
#include <QRegularExpression>
#include <QSize>

namespace {

const QStringList& extraKeyWords()
{
    static const QStringList words { QStringLiteral("Description"), QStringLiteral("Placeholder"),
        QStringLiteral("Precision"), QStringLiteral("Suggestions"), QStringLiteral("Schemes") };
    return words;
}

// QColor lives in Qt GUI, which this library does not link; the global colours are few and fixed.
QString globalColorName(const QString& key)
{
    static const quint32 colors[] = { 0xff000000, 0xffffffff, 0xff000000, 0xffffffff, 0xff808080, 0xffa0a0a4, 0xffc0c0c0,
        0xffff0000, 0xff00ff00, 0xff0000ff, 0xff00ffff, 0xffff00ff, 0xffffff00, 0xff800000, 0xff008000, 0xff000080,
        0xff008080, 0xff800080, 0xff808000, 0x00000000 };
    const QMetaEnum globalColors = QMetaEnum::fromType<Qt::GlobalColor>();
    bool ok = false;
    const int index = globalColors.keyToValue(key.toLatin1().constData(), &ok);
    if (!ok || index < 0 || index >= int(std::size(colors)))
        return QString();
    return QStringLiteral("#%1").arg(colors[index] & 0xffffff, 6, 16, QLatin1Char('0'));
}

// A named colour through Qt GUI's conversion when it is loaded.
QString namedColor(const QString& name)
{
    QVariant color(name);
    const QMetaType colorType(QMetaType::QColor);
    if (!colorType.isValid() || !color.convert(colorType))
        return QString();
    return color.toString();
}

// "QPointF(1.5, 2)", "1;2" or "QSize(3,4)" -> the numbers between the separators.
QStringList numberPieces(QString text, QChar separator)
{
    for (const char* word : { "QPointF", "QPoint", "QSize", "(", ")", "f" })
        text.remove(QLatin1String(word));
    return text.trimmed().split(separator, Qt::SkipEmptyParts);
}

} // namespace

MetaDescription::MetaDescription(QObject* parent)
    : AbstractMetaDescription(parent)
{ }

QMetaProperty MetaDescription::metaProperty() const
{
    return object ? object->metaObject()->property(propertyIndex) : QMetaProperty();
}

QMetaEnum MetaDescription::enumerator() const
{
    return metaProperty().enumerator();
}

bool MetaDescription::isEnumType() const
{
    return metaProperty().isEnumType();
}

QString MetaDescription::clinfo(const QString& key) const
{
    return name + key;
}

int MetaDescription::clindex(const QString& key) const
{
    if (!object)
        return -1;
    return object->metaObject()->indexOfClassInfo(clinfo(key).toLatin1().constData());
}

QString MetaDescription::getClassInfo(const QString& key) const
{
    const int index = clindex(key);
    if (index < 0)
        return QString();
    return QString::fromUtf8(object->metaObject()->classInfo(index).value());
}

QMap<QString, QString> MetaDescription::parseVisibleBound(const QString& text)
{
    QMap<QString, QString> conditions;
    const QStringList parts = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QStringList pieces = part.split(QLatin1Char(':'), Qt::SkipEmptyParts);
        if (pieces.size() >= 2) {
            const QString property = pieces.takeFirst();
            conditions.insert(property, pieces.join(QLatin1Char(':')));
        } else if (pieces.size() == 1) {
            const QString& piece = pieces.first();
            if (piece.startsWith(QLatin1Char('!')))
                conditions.insert(piece.mid(1), QStringLiteral("false"));
            else
                conditions.insert(piece, QStringLiteral("true"));
        }
    }
    return conditions;
}

double MetaDescription::parseNumber(const QString& text, bool* ok)
{
    const QStringList pieces = numberPieces(text, QLatin1Char(','));
    if (pieces.isEmpty()) {
        *ok = false;
        return 0;
    }
    return pieces.first().trimmed().toDouble(ok);
}

QString MetaDescription::normalisedDefault(const QString& raw)
{
    QString text = raw;
    if (isEnumType()) {
        const int colons = text.lastIndexOf(QLatin1String("::"));
        if (colons >= 0)
            text = text.mid(colons + 2);
        typeName = QStringLiteral("Enum");
        typeId = QMetaType::Int;
    } else if (typeName == QLatin1String("int") || typeName == QLatin1String("float")
        || typeName == QLatin1String("double")) {
        static const QRegularExpression letters(QStringLiteral("[A-Za-z]"));
        text.remove(letters);
    } else if (typeName == QLatin1String("QString")) {
        static const QRegularExpression quotes(QStringLiteral("^\"+|\"+$"));
        text.remove(quotes);
    } else if (typeName == QLatin1String("QColor")) {
        static const QRegularExpression hex(QStringLiteral("(\\#[a-fA-F0-9]+)"));
        static const QRegularExpression global(QStringLiteral("Qt::(\\w+)"));
        static const QRegularExpression named(QStringLiteral("\\(\"(\\w+)\"\\)"));
        QRegularExpressionMatch match = hex.match(text);
        if (match.hasMatch()) {
            text = match.captured(1);
        } else if ((match = global.match(text)).hasMatch()) {
            const QString color = globalColorName(match.captured(1));
            if (!color.isEmpty())
                text.replace(match.capturedStart(), match.capturedLength(), color);
        } else if ((match = named.match(text)).hasMatch()) {
            const QString color = namedColor(match.captured(1));
            if (!color.isEmpty())
                text.replace(match.capturedStart(), match.capturedLength(), color);
        }
    }

    if (raw.endsWith(QLatin1String("()"))) {
        const QString function = raw.left(raw.size() - 2);
        if (function == QLatin1String("QDateTime::currentDateTime")) {
            text = QDateTime::currentDateTime().toString(Qt::TextDate);
        } else if (function == QLatin1String("QDateTime")) {
            text = QDateTime().toString(Qt::TextDate);
        } else if (function == QLatin1String("QDate")) {
            text = QDate().toString(Qt::TextDate);
        } else if (object) {
            QString result;
            if (QMetaObject::invokeMethod(
                    object, function.toLatin1().constData(), Qt::DirectConnection, Q_RETURN_ARG(QString, result)))
                text = result;
        }
    }
    return text;
}

void MetaDescription::set(int metapropertyindex, QObject* target)
{
    propertyIndex = metapropertyindex;
    object = target;
    const QMetaProperty property = metaProperty();
    name = QString::fromLatin1(property.name());
    typeName = QString::fromLatin1(property.typeName());
    typeId = property.metaType().id();

    editable = getClassInfo(QStringLiteral("Editable")) == QLatin1String("true");
    visible = clindex(QStringLiteral("NotVisible")) < 0;
    const QString display = getClassInfo(QStringLiteral("DisplayName"));
    displayName = display.isNull() ? name : display;

    QString defaultRaw = getClassInfo(QStringLiteral("DefaultOverride"));
    if (defaultRaw.isNull())
        defaultRaw = getClassInfo(QStringLiteral("Default"));
    if (!defaultRaw.isNull()) {
        defaultText = normalisedDefault(defaultRaw);
        hasDefault = true;
    } else if (isEnumType()) {
        typeName = QStringLiteral("Enum");
        typeId = QMetaType::Int;
    }

    QString bound = getClassInfo(QStringLiteral("VisibleBound"));
    if (bound.isNull())
        bound = getClassInfo(QStringLiteral("VisibleBinded"));
    visibleBound = parseVisibleBound(bound);

    const QString minimumText = getClassInfo(QStringLiteral("Minimum"));
    if (!minimumText.isNull()) {
        const double value = parseNumber(minimumText, &hasMinimum);
        if (hasMinimum)
            minimum = value;
    }
    prefix = getClassInfo(QStringLiteral("Prefix"));
    suffix = getClassInfo(QStringLiteral("Suffix"));
    const QString maximumText = getClassInfo(QStringLiteral("Maximum"));
    if (!maximumText.isNull()) {
        const double value = parseNumber(maximumText, &hasMaximum);
        if (hasMaximum)
            maximum = value;
    }
    const QString stepText = getClassInfo(QStringLiteral("Step"));
    if (!stepText.isNull()) {
        const double value = parseNumber(stepText, &hasStep);
        if (hasStep)
            step = value;
    }

    for (const QString& word : extraKeyWords()) {
        const QString value = getClassInfo(word);
        if (value.isEmpty())
            continue;
        if (!extraInfo)
            extraInfo = std::make_unique<QMap<QString, QString>>();
        extraInfo->insert(word, value);
    }

    specialType = getClassInfo(QStringLiteral("SpecialType"));
    hasSpecialType = !specialType.isNull();
    if (hasSpecialType) {
        const int colon = specialType.indexOf(QLatin1Char(':'));
        specialKind = colon < 0 ? specialType : specialType.left(colon);
        specialArgument = colon < 0 ? QString() : specialType.mid(colon + 1);
    }
    category = getClassInfo(QStringLiteral("Category"));
    const QString priorityText = getClassInfo(QStringLiteral("Priority"));
    if (!priorityText.isNull())
        priority = priorityText.toInt();
    defaultAllowed = clindex(QStringLiteral("NoDefault")) < 0;
    readOnly = clindex(QStringLiteral("ReadOnly")) >= 0;
    icon = getClassInfo(QStringLiteral("Icon"));

    if (property.hasNotifySignal()) {
        const QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("valueChangedSlot()"));
        connect(target, property.notifySignal(), this, slot, Qt::UniqueConnection);
    }
}

bool MetaDescription::setValue(QVariant value)
{
    const QMetaProperty property = metaProperty();
    if (!object || !property.isWritable())
        return false;
    return property.write(object, std::move(value));
}

QVariant MetaDescription::getValue()
{
    if (!object)
        return QVariant();
    try {
        return metaProperty().read(object);
    } catch (...) {
        qDebug() << "ERROR getValue of" << name;
        return QVariant();
    }
}

void MetaDescription::setDefault()
{
    if (!hasDefault || !object)
        return;
    metaProperty().reset(object);
    const QString current = getValue().toString();
    if (current != defaultText)
        defaultText = current;
    setTextValue(defaultText);
    emit valueChanged(getValue());
}

void MetaDescription::valueChangedSlot()
{
    emit valueChanged(getValue());
}

bool MetaDescription::setTextValue(QString value)
{
    if (typeName == QLatin1String("QPoint") || typeName == QLatin1String("QPointF")
        || typeName == QLatin1String("QSize")) {
        const QStringList pieces = numberPieces(value, QLatin1Char(','));
        if (pieces.size() != 2)
            return false;
        bool okX = false;
        bool okY = false;
        const double x = pieces.at(0).trimmed().toDouble(&okX);
        const double y = pieces.at(1).trimmed().toDouble(&okY);
        if (!okX || !okY)
            return false;
        if (typeName == QLatin1String("QPointF"))
            return setValue(QPointF(x, y));
        if (typeName == QLatin1String("QPoint"))
            return setValue(QPoint(int(x), int(y)));
        return setValue(QSize(int(x), int(y)));
    }
    return setValue(QVariant(value));
}
