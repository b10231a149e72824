#include "AbstractMetaDescriptor.h"
#include "AbstractMetaDescription.h"
#include "FileUtilities.h"

#include <QDebug>
#include <QFile>
#include <QJsonValue>
#include <QPoint>
#include <QPointF>
#include <QSaveFile>
#include <QSize>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

using StringMap = QMap<QString, QString>;

bool isPointOrSize(const QString& typeName)
{
    return typeName == QLatin1String("QPoint") || typeName == QLatin1String("QPointF")
        || typeName == QLatin1String("QSize");
}

void writeValue(QXmlStreamWriter& writer, AbstractMetaDescription* description)
{
    const QVariant value = description->getValue();
    const QString& name = description->name;
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        writer.writeTextElement(name, value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        return;
    case QMetaType::QPoint: {
        const QPoint point = value.toPoint();
        writer.writeTextElement(name, QString::number(point.x()) + QLatin1Char(';') + QString::number(point.y()));
        return;
    }
    case QMetaType::QPointF: {
        const QPointF point = value.toPointF();
        writer.writeTextElement(
            name, QString::number(point.x(), 'g', 6) + QLatin1Char(';') + QString::number(point.y(), 'g', 6));
        return;
    }
    case QMetaType::QSize: {
        const QSize size = value.toSize();
        writer.writeTextElement(
            name, QString::number(size.width()) + QLatin1Char(';') + QString::number(size.height()));
        return;
    }
    case QMetaType::QByteArray:
        writer.writeTextElement(name, QString::fromLatin1(value.toByteArray().toBase64()));
        return;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        writer.writeTextElement(name, QString::number(value.toInt()));
        return;
    default:
        break;
    }
    if (description->typeName == QLatin1String("StringMap") && value.canConvert<StringMap>()) {
        const StringMap map = value.value<StringMap>();
        writer.writeStartElement(name);
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            writer.writeTextElement(it.key(), it.value());
        writer.writeEndElement();
        return;
    }
    // Enumerations convert to their key name, doubles to the shortest text that reads back exactly.
    writer.writeTextElement(name, value.toString());
}

void readValue(AbstractMetaDescription* description, const QString& text)
{
    if (description->typeName == QLatin1String("QByteArray")) {
        description->setValue(QByteArray::fromBase64(text.toLatin1()));
    } else if (isPointOrSize(description->typeName)) {
        const QStringList pieces = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        if (pieces.size() < 2)
            return;
        bool okX = false;
        bool okY = false;
        const double x = pieces.at(0).trimmed().toDouble(&okX);
        const double y = pieces.at(1).trimmed().toDouble(&okY);
        if (!okX || !okY)
            return;
        if (description->typeName == QLatin1String("QPointF"))
            description->setValue(QPointF(x, y));
        else if (description->typeName == QLatin1String("QPoint"))
            description->setValue(QPoint(int(x), int(y)));
        else
            description->setValue(QSize(int(x), int(y)));
    } else {
        description->setValue(text);
    }
}

// Reads the file whole, up to the size limit: a longer file is damaged and only its start is read.
bool readFile(const QString& file, QByteArray* bytes)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    *bytes = input.read(FileUtilities::readLimit(input, AbstractMetaDescriptor::MaxFileSize));
    if (!input.atEnd())
        qDebug() << "Settings file too large, reading its start only:" << file;
    return true;
}

// Written aside and renamed over the old file, so that a crash or a full disk while writing leaves the previous
// settings. The bytes are flushed before the commit: QSaveFile (Qt 6.4) renames the file even when the write-out
// inside commit() stops short on a full disk, and a cut file would take the place of the whole one.
bool writeFile(const QString& file, const QByteArray& bytes, QString* error)
{
    QSaveFile output(file);
    bool written = output.open(QIODevice::WriteOnly);
    if (written && (output.write(bytes) != bytes.size() || !output.flush())) {
        output.cancelWriting();
        written = false;
    }
    written = written && output.commit();
    *error = written ? QString() : output.errorString();
    return written;
}

} // namespace

AbstractMetaDescriptor::AbstractMetaDescriptor(QObject* parent)
    : QObject(parent)
{ }

AbstractMetaDescription* AbstractMetaDescriptor::at(int index) const
{
    return index >= 0 && index < descriptions.size() ? descriptions.at(index) : nullptr;
}

AbstractMetaDescription* AbstractMetaDescriptor::propertyByName(const QString& name) const
{
    for (AbstractMetaDescription* description : descriptions) {
        if (description->name.compare(name, Qt::CaseInsensitive) == 0)
            return description;
    }
    return nullptr;
}

AbstractMetaDescription* AbstractMetaDescriptor::editableByExactName(const QString& name) const
{
    for (AbstractMetaDescription* description : descriptions) {
        if (description->editable && description->name == name)
            return description;
    }
    return nullptr;
}

bool AbstractMetaDescriptor::setValue(const QString& name, const QVariant& value)
{
    AbstractMetaDescription* description = propertyByName(name);
    return description && description->setValue(value);
}

bool AbstractMetaDescriptor::setTextValue(const QString& name, const QString& text)
{
    AbstractMetaDescription* description = propertyByName(name);
    return description && description->setTextValue(text);
}

void AbstractMetaDescriptor::clear()
{
    descriptions.clear();
    descriptionsByName.clear();
}

void AbstractMetaDescriptor::defaults()
{
    for (AbstractMetaDescription* description : std::as_const(descriptions)) {
        if (description->editable && description->hasDefault)
            description->setDefault();
    }
}

QVariantMap AbstractMetaDescriptor::getQVariantMap() const
{
    QVariantMap map;
    for (AbstractMetaDescription* description : descriptions) {
        if (description->editable)
            map.insert(description->name, description->getValue());
    }
    return map;
}

bool AbstractMetaDescriptor::loadFromQVariantMap(const QVariantMap& map)
{
    for (AbstractMetaDescription* description : std::as_const(descriptions)) {
        if (!description->editable)
            continue;
        const auto it = map.constFind(description->name);
        if (it != map.cend())
            description->setValue(it.value());
    }
    return true;
}

QJsonObject AbstractMetaDescriptor::saveToJson() const
{
    return QJsonObject::fromVariantMap(getQVariantMap());
}

QString AbstractMetaDescriptor::saveToJsonString(QJsonDocument::JsonFormat format) const
{
    return QString::fromUtf8(saveToJsonByteArray(format));
}

QByteArray AbstractMetaDescriptor::saveToJsonByteArray(QJsonDocument::JsonFormat format) const
{
    return QJsonDocument(saveToJson()).toJson(format);
}

bool AbstractMetaDescriptor::saveToJsonFile(const QString& file) const
{
    return writeFile(file, saveToJsonByteArray(QJsonDocument::Compact), &m_saveError);
}

bool AbstractMetaDescriptor::loadFromJsonFile(const QString& file)
{
    QByteArray bytes;
    if (!readFile(file, &bytes))
        return false;
    return loadFromJson(QString::fromUtf8(bytes));
}

bool AbstractMetaDescriptor::loadFromJson(const QString& json)
{
    if (json.isEmpty())
        return false;
    return loadFromJson(json.toUtf8());
}

bool AbstractMetaDescriptor::loadFromJson(const QByteArray& json)
{
    if (json.isEmpty())
        return false;
    return loadFromJson(QJsonDocument::fromJson(json));
}

bool AbstractMetaDescriptor::loadFromJson(const QJsonDocument& document)
{
    if (document.isNull()) {
        qDebug() << "Failed to create JSON doc.";
        return false;
    }
    if (document.isEmpty())
        return false;
    if (!document.isObject()) {
        qDebug() << "JSON is not an object.";
        return false;
    }
    return loadFromJson(document.object());
}

bool AbstractMetaDescriptor::loadFromJson(const QJsonObject& object)
{
    if (object.isEmpty()) {
        qDebug() << "JSON object is empty";
        return false;
    }
    return loadFromQVariantMap(object.toVariantMap());
}

QString AbstractMetaDescriptor::saveAsXmlString() const
{
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(4);
    writer.writeStartDocument();
    writer.writeStartElement(getClassName());
    for (AbstractMetaDescription* description : descriptions) {
        if (description->editable)
            writeValue(writer, description);
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return text;
}

bool AbstractMetaDescriptor::save(const QString& file) const
{
    return writeFile(file, saveAsXmlString().toUtf8(), &m_saveError);
}

bool AbstractMetaDescriptor::load(const QString& file)
{
    QByteArray bytes;
    if (!readFile(file, &bytes))
        return false;
    return loadFromXmlString(QString::fromUtf8(bytes));
}

bool AbstractMetaDescriptor::loadFromXmlString(const QString& text)
{
    QXmlStreamReader reader(text);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        AbstractMetaDescription* description = editableByExactName(reader.name().toString());
        if (!description)
            continue;
        // Collect the text by hand rather than with readElementText(): a damaged element must not drop the values
        // that follow it, and an oversized one is refused before it is converted.
        QString elementText;
        bool tooLong = false;
        int depth = 1;
        while (depth > 0 && !reader.atEnd()) {
            switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            case QXmlStreamReader::Characters:
            case QXmlStreamReader::EntityReference:
                if (depth == 1 && !tooLong) {
                    tooLong = elementText.size() + reader.text().size() > MaxElementText;
                    if (!tooLong)
                        elementText += reader.text();
                }
                break;
            default:
                break;
            }
        }
        if (depth > 0)
            break;
        if (tooLong)
            qDebug() << "Settings element too long, ignored:" << description->name;
        else
            readValue(description, elementText);
    }
    if (reader.hasError()) {
        qDebug() << "Settings XML damaged at line" << reader.lineNumber() << "column" << reader.columnNumber() << ":"
                 << reader.errorString();
    }
    return true;
}
