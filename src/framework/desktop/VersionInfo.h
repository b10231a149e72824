#pragma once

#include <QMetaType>
#include <QString>

// The version endpoint's answer about the newest release it offers.
struct VersionInfo
{
    bool valid = false;
    QString version;
    QString date;
    bool critical = false;
    QString link;
    QString changelog;
    QString info;
};

Q_DECLARE_METATYPE(VersionInfo)
