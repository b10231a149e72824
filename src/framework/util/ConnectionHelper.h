#pragma once

#include <QList>
#include <QMetaObject>
#include <QString>

// Holds connections to objects that are replaced at run time (the current instrument, a serial port) so that
// all of them can be cut in one call before the object goes away. Disconnects what it holds when destroyed.
class ConnectionHelper
{
public:
    explicit ConnectionHelper(QString name = {});
    ~ConnectionHelper();
    ConnectionHelper(const ConnectionHelper&) = delete;
    ConnectionHelper& operator=(const ConnectionHelper&) = delete;

    ConnectionHelper& operator<<(const QMetaObject::Connection& connection);
    void clear();

    QString name() const { return m_name; }
    int count() const { return int(m_connections.size()); }

private:
    QString m_name;
    QList<QMetaObject::Connection> m_connections;
    qsizetype m_pruneAt = 16;
};
