#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

class Database;

// Who may do what on a shared server. Four group roles hold the rights, and
// the server enforces them with its GRANTs: each person signs in with a login
// of their own that is a member of one of them. The administrator owns the
// layout (brings it forward, purges the trash, restores backups, moves a
// local database in); the physician does everything on patients and
// recordings, removes to the trash and writes conclusions; the technician
// registers patients and recordings and edits comments; reception registers
// patients and keeps their cards.
//
// A server whose roles were never set up, and the file database (one user),
// let the signed-in account do everything, as before roles existed.
class ServerRoles : public QObject
{
    Q_OBJECT
public:
    enum class Role { Everything, Administrator, Physician, Technician, Reception, NoRole };
    Q_ENUM(Role)
    enum class Action {
        NewPatient,
        EditPatient,
        AddRecording,
        EditRecording,
        RemoveToTrash,
        RestoreFromTrash,
        WriteConclusion,
        PurgeTrash,
        // A backup reads every table, the administrator's own among them.
        BackUp,
        RestoreBackup,
        MoveIn,
        ChangeLayout,
        ReadPatientViews,
    };

    // The group role's name on the server ("kesta_physician"); empty for
    // Everything and NoRole.
    static QString serverName(Role role);
    // The role as the user reads it, translated ("physician").
    static QString title(Role role);
    static bool allows(Role role, Action action);
    // "physician or administrator": the roles that may.
    static QString rolesFor(Action action);
    // What a refused action tells the user: the roles it needs and the one
    // the account has.
    static QString refusal(Role role, const QString &account, Action action);
    // For a write the server refused: when it was the role's rights, a line
    // that says so; empty otherwise.
    static QString rightsNote(const Database *database, const QString &reason);

    // Follows the database: at every check that it is usable, before its
    // layout is touched, the signed-in account's role is read from the server.
    // Only for a server; a file database keeps none.
    static ServerRoles *attach(Database *database);
    // The database's, or null for a file database.
    static ServerRoles *of(const Database *database);
    // The role the database's account has: Everything for a file database.
    static Role roleOf(const Database *database);
    static bool allows(const Database *database, Action action);

    Role role() const { return signedInRole; }
    // The login as the server knows it (session_user).
    QString account() const { return signedInAccount; }
    // Whether the server has the four roles at all.
    bool rolesSetUp() const { return setUp; }
    // Reads the role now; false with the reason when it cannot be read or the
    // account has none of the roles where they exist.
    bool read(QString *reason = nullptr);

    // What `kesta --server-setup` prints and applies, run by a superuser in
    // the clinic's database: the roles (made only when missing), their rights
    // on the schema, Kesta's tables handed to the administrator role, and
    // each role's rights on them. Running it again changes nothing.
    static QStringList setupStatements();
    // Each role's rights on the tables that exist, taken back and given anew;
    // run by the administrator after the layout has changed.
    static QStringList privilegeStatements();
    // Makes what follows in the session the administrator role's, where the
    // roles are set up and the account is one of its members.
    static QString becomeAdministratorStatement();

signals:
    void roleRead();

private:
    explicit ServerRoles(Database *database);

    Database *database;
    Role signedInRole = Role::Everything;
    QString signedInAccount;
    bool setUp = false;
};
