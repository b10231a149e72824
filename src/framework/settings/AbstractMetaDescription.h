#pragma once

#include <QMap>
#include <QMetaEnum>
#include <QObject>
#include <QString>
#include <QVariant>

#include <climits>
#include <memory>

// What the settings store and the property editor know of one property: its default, bounds, decoration and
// visibility, read from the class-info of the declaring class.
class AbstractMetaDescription : public QObject
{
    Q_OBJECT
public:
    explicit AbstractMetaDescription(QObject* parent = nullptr);

    QString defaultText;
    double minimum = 0;
    double maximum = 0;
    double step = 0;
    QString typeName;
    QString displayName;
    // Property name -> the text that property must have for this one to be shown ("true", "false" or a value).
    QMap<QString, QString> visibleBound;
    QString name;
    QString category;
    QString specialKind;
    QString specialArgument;
    QString specialType;
    QString suffix;
    QString prefix;
    QString icon;
    // Description, Placeholder, Precision, Suggestions, Schemes (the address schemes a text may use, separated by
    // spaces; the editor marks any other address); created on first use.
    std::unique_ptr<QMap<QString, QString>> extraInfo;
    int typeId = 0;
    int priority = INT_MAX;
    bool defaultAllowed = true;
    bool readOnly = false;
    bool editable = false;
    bool visible = true;
    bool shown = true;
    bool hasMinimum = false;
    bool hasMaximum = false;
    bool hasDefault = false;
    bool hasStep = false;
    bool hasSpecialType = false;

    // The extra text stored under a key word, or a null string.
    QString extra(const QString& keyWord) const;

    virtual QMetaEnum enumerator() const = 0;
    virtual bool isEnumType() const = 0;

signals:
    void valueChanged(QVariant value);

public slots:
    virtual bool setValue(QVariant value) = 0;
    virtual QVariant getValue() = 0;
    virtual void setDefault() = 0;
    virtual void valueChangedSlot() = 0;
    virtual bool setTextValue(QString value) = 0;
};
