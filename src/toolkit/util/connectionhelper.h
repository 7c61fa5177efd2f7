#pragma once

#include <QList>
#include <QMetaObject>

// Holds signal connections so that they can be cut together, at the latest on destruction.
class ConnectionHelper
{
public:
    ConnectionHelper() = default;
    ~ConnectionHelper();
    ConnectionHelper(const ConnectionHelper &) = delete;
    ConnectionHelper &operator=(const ConnectionHelper &) = delete;

    ConnectionHelper &operator<<(const QMetaObject::Connection &connection);
    void clear();
    static void clear(QList<QMetaObject::Connection> &connections);
    int size() const { return connections.size(); }

private:
    QList<QMetaObject::Connection> connections;
};
