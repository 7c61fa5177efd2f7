#include "toolkit/util/connectionhelper.h"

#include <QObject>

ConnectionHelper::~ConnectionHelper()
{
    clear();
}

ConnectionHelper &ConnectionHelper::operator<<(const QMetaObject::Connection &connection)
{
    connections.append(connection);
    return *this;
}

void ConnectionHelper::clear()
{
    clear(connections);
}

void ConnectionHelper::clear(QList<QMetaObject::Connection> &connections)
{
    for (const QMetaObject::Connection &connection : qAsConst(connections))
        QObject::disconnect(connection);
    connections.clear();
}
