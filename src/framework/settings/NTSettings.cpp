#include "NTSettings.h"
#include "AbstractMetaDescription.h"
#include "MetaDescriptor.h"

#include <QDir>
#include <QFileInfo>

NTSettings::NTSettings(const QString& file, bool autoSave, QObject* parent, NTSettingsFormat format)
    : AbstractSettings(parent)
    , m_autoSave(autoSave)
    , m_format(format)
{
    setFilepath(file);
}

NTSettings::~NTSettings() = default;

AbstractMetaDescriptor* NTSettings::metaDescriptor()
{
    if (!m_descriptor) {
        m_descriptor = std::make_unique<MetaDescriptor>();
        m_descriptor->set(this);
    }
    return m_descriptor.get();
}

void NTSettings::updateMetaDescriptor()
{
    if (!m_descriptor)
        m_descriptor = std::make_unique<MetaDescriptor>();
    m_descriptor->set(this);
}

QVariant NTSettings::getValue(QString name, QVariant defaultValue)
{
    AbstractMetaDescription* description = metaDescriptor()->propertyByName(name);
    return description ? description->getValue() : defaultValue;
}

QString NTSettings::getTextValue(QString name)
{
    AbstractMetaDescription* description = metaDescriptor()->propertyByName(name);
    return description ? description->getValue().toString() : QString();
}

bool NTSettings::containsProperty(QString name)
{
    return metaDescriptor()->propertyByName(name) != nullptr;
}

bool NTSettings::setValue(QString name, QVariant value)
{
    return metaDescriptor()->setValue(name, value);
}

bool NTSettings::setTextValue(const QString& name, const QString& text)
{
    return metaDescriptor()->setTextValue(name, text);
}

AbstractMetaDescription* NTSettings::getPropertyByName(const QString& name)
{
    return metaDescriptor()->propertyByName(name);
}

QStringList NTSettings::getPropertiesNames()
{
    QStringList names;
    for (AbstractMetaDescription* description : metaDescriptor()->getProperties())
        names.append(description->name);
    return names;
}

QVariantMap NTSettings::getQVariantMap()
{
    return metaDescriptor()->getQVariantMap();
}

bool NTSettings::loadFromQVariantMap(const QVariantMap& map)
{
    return metaDescriptor()->loadFromQVariantMap(map);
}

bool NTSettings::reload()
{
    if (m_filePath.isEmpty())
        return false;
    m_suspended = true;
    if (m_format == NTSettingsFormat::JSON)
        metaDescriptor()->loadFromJsonFile(m_filePath);
    else
        metaDescriptor()->load(m_filePath);
    m_suspended = false;
    emit reloaded();
    return true;
}

bool NTSettings::save()
{
    const bool written = m_filePath.isEmpty() || saveAs(m_filePath);
    if (written)
        emit saved();
    return written;
}

bool NTSettings::saveAs(const QString& file)
{
    if (file.isEmpty())
        return false;
    const bool written = m_format == NTSettingsFormat::JSON ? metaDescriptor()->saveToJsonFile(file)
                                                            : metaDescriptor()->save(file);
    if (!written)
        emit saveFailed(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file), metaDescriptor()->saveError()));
    return written;
}

void NTSettings::setFilepath(const QString& file)
{
    if (!file.isEmpty()) {
        const QDir folder = QFileInfo(file).absoluteDir();
        if (!folder.exists())
            folder.mkpath(QStringLiteral("."));
    }
    m_filePath = file;
    emit filePathChanged();
}

void NTSettings::changedProperty(QString name)
{
    emit propertyChanged(name);
    if (m_autoSave && !m_suspended)
        save();
}

QString NTSettings::saveToString()
{
    return metaDescriptor()->saveAsXmlString();
}

bool NTSettings::loadFromXMLString(const QString& text)
{
    metaDescriptor()->loadFromXmlString(text);
    emit reloaded();
    return true;
}

QJsonObject NTSettings::saveToJson()
{
    return metaDescriptor()->saveToJson();
}

QString NTSettings::saveToJsonString(QJsonDocument::JsonFormat format)
{
    return metaDescriptor()->saveToJsonString(format);
}

QString NTSettings::saveToJsonByteArray()
{
    return QString::fromUtf8(metaDescriptor()->saveToJsonByteArray(QJsonDocument::Compact));
}

bool NTSettings::loadFromJson(const QByteArray& json)
{
    return metaDescriptor()->loadFromJson(json);
}

bool NTSettings::loadFromJson(const QString& json)
{
    return metaDescriptor()->loadFromJson(json);
}

bool NTSettings::loadFromJson(const QJsonDocument& document)
{
    return metaDescriptor()->loadFromJson(document);
}

bool NTSettings::loadFromJson(const QJsonObject& object)
{
    return metaDescriptor()->loadFromJson(object);
}

void NTSettings::loadDefaults()
{
    metaDescriptor()->defaults();
    emit reloaded();
}
