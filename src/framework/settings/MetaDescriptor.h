#pragma once

#include "AbstractMetaDescriptor.h"

#include <QMetaProperty>
#include <QPointer>

class MetaDescriptor : public AbstractMetaDescriptor
{
    Q_OBJECT
    Q_PROPERTY(QMetaProperty* item READ getItem WRITE setItem NOTIFY itemChanged)
public:
    explicit MetaDescriptor(QObject* parent = nullptr);

    QPointer<QObject> object;

    // Rebuilds the descriptions from the object's meta-object.
    void set(QObject* object) override;
    QString getClassName() const override;

    QMetaProperty* getItem() const { return m_item; }
    void setItem(QMetaProperty* item);

signals:
    void itemChanged();

private:
    QMetaProperty* m_item = nullptr;
};
