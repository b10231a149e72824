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
    if (connection)
        m_connections.append(connection);
    return *this;
}

void ConnectionHelper::clear()
{
    for (const auto& connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
}
