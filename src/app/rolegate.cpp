#include "app/rolegate.h"

#include "toolkit/util/apphelperdialogs.h"

#include <QAction>

bool RoleGate::permits(const Database *database, ServerRoles::Action action)
{
    if (ServerRoles::allows(database, action))
        return true;
    const ServerRoles *roles = ServerRoles::of(database);
    AppHelper::warningMessage(
        ServerRoles::refusal(roles->role(), roles->account(), action), tr("Not allowed"));
    return false;
}

void RoleGate::leaveOut(const Database *database, const QList<QPair<QAction *, ServerRoles::Action>> &entries)
{
    for (const auto &entry : entries) {
        if (entry.first && !ServerRoles::allows(database, entry.second))
            entry.first->setVisible(false);
    }
}
