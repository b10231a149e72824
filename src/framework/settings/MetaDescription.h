#pragma once

#include "AbstractMetaDescription.h"

#include <QPointer>

// Describes one property of one object from that object's meta-object and class-info.
class MetaDescription : public AbstractMetaDescription
{
    Q_OBJECT
public:
    explicit MetaDescription(QObject* parent = nullptr);

    int propertyIndex = -1;
    QPointer<QObject> object;

    QMetaEnum enumerator() const override;
    bool isEnumType() const override;

    // Class-info index of name + key, or -1.
    int clindex(const QString& key) const;
    // The class-info key of this property for a key word: name + key.
    QString clinfo(const QString& key) const;
    // The class-info text for a key word, or a null string when the entry is absent.
    QString getClassInfo(const QString& key) const;

    // The visibility conditions written as "A;!B;C:x".
    static QMap<QString, QString> parseVisibleBound(const QString& text);
    // A number from a bound text such as "1.5f" or "QSize(10, 20)": the first number; ok tells success.
    static double parseNumber(const QString& text, bool* ok);

public slots:
    void set(int metapropertyindex, QObject* object);
    bool setValue(QVariant value) override;
    QVariant getValue() override;
    void setDefault() override;
    void valueChangedSlot() override;
    bool setTextValue(QString value) override;

private:
    QMetaProperty metaProperty() const;
    QString normalisedDefault(const QString& raw);
};
