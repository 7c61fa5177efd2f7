#pragma once

#include "db/storage/serverroles.h"

#include <QCoreApplication>
#include <QList>
#include <QPair>

class Database;
class QAction;

// The window's side of the server's roles: what the signed-in role may not do
// is left out of the menus, and a command that reaches it all the same (a
// key, a row's menu) is refused with a box that names the role it needs,
// before the server would refuse it halfway.
class RoleGate
{
    Q_DECLARE_TR_FUNCTIONS(RoleGate)
public:
    // True when the role may; otherwise the box, and false.
    static bool permits(const Database *database, ServerRoles::Action action);
    // Hides each entry the role may not use (a null entry is skipped).
    static void leaveOut(
        const Database *database, const QList<QPair<QAction *, ServerRoles::Action>> &entries);
};
