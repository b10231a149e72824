#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class AbstractMetaDescription;

// The descriptions of every writable property of one object, in declaration order, with the object's JSON and
// XML forms built on them.
class AbstractMetaDescriptor : public QObject
{
    Q_OBJECT
public:
    explicit AbstractMetaDescriptor(QObject* parent = nullptr);

    QList<AbstractMetaDescription*> descriptions;
    QMap<QString, AbstractMetaDescription*> descriptionsByName;

    virtual void set(QObject* object) = 0;
    virtual QString getClassName() const = 0;

    AbstractMetaDescription* at(int index) const;
    int count() const { return descriptions.size(); }
    QList<AbstractMetaDescription*> getProperties() const { return descriptions; }
    // Names are matched ignoring case here, exactly in the map, JSON and XML loaders.
    AbstractMetaDescription* propertyByName(const QString& name) const;
    bool setValue(const QString& name, const QVariant& value);
    bool setTextValue(const QString& name, const QString& text);

    void defaults();
    QVariantMap getQVariantMap() const;
    bool loadFromQVariantMap(const QVariantMap& map);

    Q_INVOKABLE QJsonObject saveToJson() const;
    Q_INVOKABLE QString saveToJsonString(QJsonDocument::JsonFormat format = QJsonDocument::Indented) const;
    Q_INVOKABLE QByteArray saveToJsonByteArray(QJsonDocument::JsonFormat format = QJsonDocument::Compact) const;
    bool saveToJsonFile(const QString& file) const;
    bool loadFromJson(const QByteArray& json);
    bool loadFromJson(const QString& json);
    bool loadFromJson(const QJsonDocument& document);
    bool loadFromJson(const QJsonObject& object);
    bool loadFromJsonFile(const QString& file);

    // The XML form: one element per editable property under a root element named after the class.
    Q_INVOKABLE bool save(const QString& file) const;
    Q_INVOKABLE QString saveAsXmlString() const;
    Q_INVOKABLE bool load(const QString& file);
    bool loadFromXmlString(const QString& text);
    // Why the last save() or saveToJsonFile() failed; empty after one that succeeded.
    QString saveError() const { return m_saveError; }

    // A settings file is a few kilobytes; anything beyond this is damage and is not read.
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;
    // Longer element texts are taken as damage and skipped.
    static constexpr int MaxElementText = 64 * 1024;

public slots:
    void clear();

private:
    AbstractMetaDescription* editableByExactName(const QString& name) const;

    mutable QString m_saveError;
};
