#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class AbstractMetaDescriptor;

// The interface other parts hold on to (the theme engine, the property editor): a QObject whose properties describe
// themselves and which announces every change of one of them by name.
class AbstractSettings : public QObject
{
    Q_OBJECT
public:
    explicit AbstractSettings(QObject* parent = nullptr);

signals:
    void propertyChanged(QString name);

public slots:
    virtual AbstractMetaDescriptor* metaDescriptor() = 0;
    virtual QVariant getValue(QString name, QVariant defaultValue = QVariant()) = 0;
    virtual bool setValue(QString name, QVariant value) = 0;
    virtual bool reload() = 0;
    virtual bool containsProperty(QString name) = 0;
    virtual QString getTextValue(QString name) = 0;
};
