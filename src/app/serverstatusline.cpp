#include "app/serverstatusline.h"

#include "db/storage/database.h"
#include "db/storage/serverroles.h"

ServerStatusLine::ServerStatusLine(Database *database, QWidget *parent)
    : QLabel(parent)
    , database(database)
{
    setObjectName(QStringLiteral("serverStatusLine"));
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (ServerRoles *roles = ServerRoles::of(database))
        connect(roles, &ServerRoles::roleRead, this, &ServerStatusLine::update);
    update();
}

void ServerStatusLine::update()
{
    const ServerRoles *roles = ServerRoles::of(database);
    setVisible(roles);
    if (!roles)
        return;
    const DatabaseLocation &where = database->location();
    const QString account = roles->account().isEmpty() ? where.user : roles->account();
    setText(tr("Server %1:%2/%3, signed in as %4 (%5)")
                .arg(where.host)
                .arg(where.port)
                .arg(where.databaseName, account, ServerRoles::title(roles->role())));
}
