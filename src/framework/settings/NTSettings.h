#pragma once

#include "AbstractSettings.h"
#include "NTProperty.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class AbstractMetaDescription;

enum class NTSettingsFormat { XML = 0, JSON = 1 };

// A settings object bound to one file: it loads itself on reload() and, with auto-save, writes the whole file after
// every property change. Derived classes declare their properties with the NT_PROPERTY macros.
class NTSettings : public AbstractSettings
{
    Q_OBJECT
public:
    explicit NTSettings(const QString& file = QString(), bool autoSave = true, QObject* parent = nullptr,
        NTSettingsFormat format = NTSettingsFormat::XML);
    ~NTSettings() override;

    void updateMetaDescriptor();
    // Writes the file; a failure is also announced by saveFailed().
    bool save();
    bool saveAs(const QString& file);

    QString getFilepath() const { return m_filePath; }
    void setFilepath(const QString& file);
    bool getAutoSave() const { return m_autoSave; }
    void setAutoSave(bool autoSave) { m_autoSave = autoSave; }
    NTSettingsFormat getFormat() const { return m_format; }
    void setFormat(NTSettingsFormat format) { m_format = format; }

    bool setTextValue(const QString& name, const QString& text);
    AbstractMetaDescription* getPropertyByName(const QString& name);
    QStringList getPropertiesNames();
    QVariantMap getQVariantMap();
    bool loadFromQVariantMap(const QVariantMap& map);

    QString saveToString();
    bool loadFromXMLString(const QString& text);
    QJsonObject saveToJson();
    QString saveToJsonString(QJsonDocument::JsonFormat format = QJsonDocument::Indented);
    QString saveToJsonByteArray();
    bool loadFromJson(const QByteArray& json);
    bool loadFromJson(const QString& json);
    bool loadFromJson(const QJsonDocument& document);
    bool loadFromJson(const QJsonObject& object);
    void loadDefaults();

signals:
    void reloaded();
    void saved();
    // A save failed: the values stay in effect but are not on disk. reason names the file and the cause.
    void saveFailed(const QString& reason);
    void filePathChanged();

public slots:
    AbstractMetaDescriptor* metaDescriptor() override;
    QVariant getValue(QString name, QVariant defaultValue = QVariant()) override;
    bool setValue(QString name, QVariant value) override;
    bool reload() override;
    bool containsProperty(QString name) override;
    QString getTextValue(QString name) override;

protected slots:
    // Called by every generated setter after a real change.
    void changedProperty(QString name);

private:
    bool m_suspended = false;
    bool m_autoSave = true;
    NTSettingsFormat m_format = NTSettingsFormat::XML;
    QString m_filePath;
    std::unique_ptr<AbstractMetaDescriptor> m_descriptor;
};
