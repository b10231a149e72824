#include "ConnectionHelper.h"

#include <QObject>

ConnectionHelper::ConnectionHelper(QString name)
    : m_name(std::move(name))
{
}

ConnectionHelper::~ConnectionHelper()
{
    clear();
}

ConnectionHelper& ConnectionHelper::operator<<(const QMetaObject::Connection& connection)
{
    if (!connection)
        return *this;
    // Connections whose sender or receiver is gone are dropped now and then, so that a long-lived holder (the theme
    // engine's registry sees every graph that is ever created) does not grow without bound.
    if (m_connections.size() >= m_pruneAt) {
        m_connections.removeIf([](const QMetaObject::Connection& held) { return !held; });
        m_pruneAt = qMax<qsizetype>(16, 2 * m_connections.size());
    }
    m_connections.append(connection);
    return *this;
}

void ConnectionHelper::clear()
{
    for (const auto& connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
}
