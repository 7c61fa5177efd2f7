#include "db/storage/serverroles.h"

#include "db/storage/database.h"
#include "db/storage/databasesupport.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

const QString administrator = QStringLiteral("kesta_administrator");
const QString physician = QStringLiteral("kesta_physician");
const QString technician = QStringLiteral("kesta_technician");
const QString reception = QStringLiteral("kesta_reception");

// Kesta's tables as the server names them, every one the administrator owns.
const QStringList ownTables { QStringLiteral("patients"), QStringLiteral("records"),
    QStringLiteral("institutions"), QStringLiteral("operators"), QStringLiteral("schemaversion"),
    QStringLiteral("history"), QStringLiteral("removals"), QStringLiteral("conclusions"),
    QStringLiteral("patientviews"), QStringLiteral("operations"), QStringLiteral("patientidkeys") };

struct Grant {
    QString table;
    QString rights;
    QStringList roles;
};

// Rights beyond the owner's; everything not named here is refused. The
// history is written by the server's own trigger, so nobody but its owner
// may write it; who looked at which patient is read by the administrator
// alone and written through a function of its own.
QList<Grant> grants()
{
    const QStringList everyone { physician, technician, reception };
    QList<Grant> list;
    for (const char *table :
        { "patients", "records", "institutions", "operators", "schemaversion", "history", "conclusions" })
        list << Grant { QLatin1String(table), QStringLiteral("SELECT"), everyone };
    list << Grant { QStringLiteral("patients"), QStringLiteral("INSERT, UPDATE"), everyone }
         << Grant { QStringLiteral("patients"), QStringLiteral("DELETE"), { physician } }
         // Each patient's ID key is written with the ID and goes with the patient.
         << Grant { QStringLiteral("patientidkeys"), QStringLiteral("SELECT, INSERT, DELETE"), everyone }
         << Grant { QStringLiteral("records"), QStringLiteral("INSERT, UPDATE"), { physician, technician } }
         // A corrected patient ID takes the patient's records along.
         << Grant { QStringLiteral("records"), QStringLiteral("UPDATE (PatientID)"), { reception } }
         << Grant { QStringLiteral("records"), QStringLiteral("DELETE"), { physician } }
         << Grant { QStringLiteral("conclusions"), QStringLiteral("INSERT, UPDATE, DELETE"), { physician } }
         << Grant { QStringLiteral("removals"), QStringLiteral("SELECT, INSERT, UPDATE"), { physician } }
         // Every write notes its operation and looks up one whose answer was
         // lost; old notes are dropped by whoever starts.
         << Grant { QStringLiteral("operations"), QStringLiteral("SELECT, INSERT, DELETE"), everyone };
    return list;
}

struct SequenceGrant {
    QString table;
    QString column;
    QStringList roles;
};

QList<SequenceGrant> sequenceGrants()
{
    return { { QStringLiteral("patients"), QStringLiteral("autoid"), { physician, technician, reception } },
        { QStringLiteral("records"), QStringLiteral("recordid"), { physician, technician } },
        { QStringLiteral("removals"), QStringLiteral("removalid"), { physician } } };
}

QString quotedList(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted << QLatin1Char('\'') + name + QLatin1Char('\'');
    return quoted.join(QStringLiteral(", "));
}

} // namespace

QString ServerRoles::serverName(Role role)
{
    switch (role) {
    case Role::Administrator:
        return administrator;
    case Role::Physician:
        return physician;
    case Role::Technician:
        return technician;
    case Role::Reception:
        return reception;
    case Role::Everything:
    case Role::NoRole:
        break;
    }
    return QString();
}

QString ServerRoles::title(Role role)
{
    switch (role) {
    case Role::Administrator:
        return tr("administrator");
    case Role::Physician:
        return tr("physician");
    case Role::Technician:
        return tr("technician");
    case Role::Reception:
        return tr("reception");
    case Role::NoRole:
        return tr("no role");
    case Role::Everything:
        break;
    }
    return tr("all rights (no roles set up)");
}

bool ServerRoles::allows(Role role, Action action)
{
    switch (role) {
    case Role::Everything:
    case Role::Administrator:
        return true;
    case Role::NoRole:
        return false;
    case Role::Physician:
        return action != Action::PurgeTrash && action != Action::BackUp && action != Action::RestoreBackup
            && action != Action::MoveIn && action != Action::ChangeLayout
            && action != Action::ReadPatientViews;
    case Role::Technician:
        return action == Action::NewPatient || action == Action::EditPatient || action == Action::AddRecording
            || action == Action::EditRecording;
    case Role::Reception:
        return action == Action::NewPatient || action == Action::EditPatient;
    }
    return false;
}

QString ServerRoles::rolesFor(Action action)
{
    QStringList names;
    for (Role role : { Role::Reception, Role::Technician, Role::Physician, Role::Administrator }) {
        if (allows(role, action))
            names << title(role);
    }
    if (names.size() < 2)
        return names.join(QString());
    const QString last = names.takeLast();
    return tr("%1 or %2").arg(names.join(QStringLiteral(", ")), last);
}

QString ServerRoles::refusal(Role role, const QString &account, Action action)
{
    return tr("This needs the role %1. You are signed in as %2 (%3).")
        .arg(rolesFor(action), account, title(role));
}

QString ServerRoles::rightsNote(const Database *database, const QString &reason)
{
    const ServerRoles *roles = of(database);
    if (!roles || !roles->rolesSetUp() || !reason.contains(QLatin1String("42501")))
        return QString();
    return tr("The server does not allow this to the role %1 (signed in as %2).")
        .arg(title(roles->role()), roles->account());
}

ServerRoles *ServerRoles::attach(Database *database)
{
    if (ServerRoles *existing = of(database))
        return existing;
    auto *roles = new ServerRoles(database);
    database->addOpenStep(Database::OpenStage::BeforeTablesRead,
        [roles](Database *, QString *reason) { return roles->read(reason); });
    return roles;
}

ServerRoles *ServerRoles::of(const Database *database)
{
    return database ? database->findChild<ServerRoles *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

ServerRoles::Role ServerRoles::roleOf(const Database *database)
{
    const ServerRoles *roles = of(database);
    return roles ? roles->role() : Role::Everything;
}

bool ServerRoles::allows(const Database *database, Action action)
{
    return allows(roleOf(database), action);
}

ServerRoles::ServerRoles(Database *database)
    : QObject(database)
    , database(database)
{
}

bool ServerRoles::read(QString *reason)
{
    const QSqlDatabase db = database->database();
    if (!db.isOpen())
        return true;
    QSqlQuery query(db);
    const QString statement
        = QStringLiteral("SELECT session_user, rolname, pg_has_role(session_user, oid, 'MEMBER'), "
                         "rolname <> '%2' OR has_schema_privilege(oid, 'public', 'CREATE') FROM pg_roles "
                         "WHERE rolname IN (%1)")
              .arg(quotedList({ administrator, physician, technician, reception }), administrator);
    if (!database->run(query, statement, "ROLE NOT READ", reason))
        return false;
    QStringList memberOf;
    setUp = false;
    signedInAccount = database->location().user;
    int found = 0;
    bool schemaGiven = true;
    while (query.next()) {
        ++found;
        schemaGiven = schemaGiven && query.value(3).toBool();
        signedInAccount = query.value(0).toString();
        if (query.value(2).toBool())
            memberOf << query.value(1).toString();
    }
    // Roles count once this database has been set up for them (its schema
    // given to the administrator), not merely because another database of
    // the same server was.
    setUp = found == 4 && schemaGiven;
    if (!setUp)
        memberOf.clear();
    signedInRole = setUp ? Role::NoRole : Role::Everything;
    // The widest role decides; a superuser is a member of every one.
    for (Role role : { Role::Reception, Role::Technician, Role::Physician, Role::Administrator }) {
        if (memberOf.contains(serverName(role)))
            signedInRole = role;
    }
    emit roleRead();
    if (signedInRole != Role::NoRole)
        return true;
    if (reason)
        *reason = tr("The account %1 has none of Kesta's roles on this server. The administrator makes it "
                     "a member of one (administrator, physician, technician or reception).")
                      .arg(signedInAccount);
    return false;
}

QStringList ServerRoles::setupStatements()
{
    QStringList statements;
    QString make;
    for (const QString &role : { administrator, physician, technician, reception })
        make += QStringLiteral("  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '%1') THEN\n"
                               "    CREATE ROLE %1 NOLOGIN;\n  END IF;\n")
                    .arg(role);
    statements << QStringLiteral("DO $$\nBEGIN\n") + make + QStringLiteral("END\n$$");
    statements
        << QStringLiteral("GRANT USAGE, CREATE ON SCHEMA public TO ") + administrator
        << QStringLiteral("GRANT USAGE ON SCHEMA public TO %1, %2, %3").arg(physician, technician, reception);
    // Tables made before the roles belong to the account that made them.
    statements << QStringLiteral("DO $$\nDECLARE\n  name text;\nBEGIN\n"
                                 "  FOR name IN SELECT unnest(ARRAY[%1]) LOOP\n"
                                 "    IF to_regclass(name) IS NOT NULL THEN\n"
                                 "      EXECUTE format('ALTER TABLE %I OWNER TO %2', name);\n"
                                 "    END IF;\n  END LOOP;\n"
                                 "  FOR name IN SELECT p.oid::regprocedure::text FROM pg_proc p JOIN "
                                 "pg_namespace n ON n.oid = p.pronamespace\n"
                                 "      WHERE n.nspname = 'public' AND p.proname LIKE 'kesta\\_%' LOOP\n"
                                 "    EXECUTE format('ALTER FUNCTION %s OWNER TO %2', name);\n"
                                 "  END LOOP;\nEND\n$$")
                      .arg(quotedList(ownTables), administrator);
    statements << QStringLiteral("SET ROLE ") + administrator;
    statements << privilegeStatements();
    statements << QStringLiteral("RESET ROLE");
    return statements;
}

QStringList ServerRoles::privilegeStatements()
{
    const QString others = QStringList { physician, technician, reception }.join(QStringLiteral(", "));
    QString body;
    for (const QString &table : ownTables)
        body += QStringLiteral("  IF to_regclass('%1') IS NOT NULL THEN\n"
                               "    REVOKE ALL ON %1 FROM PUBLIC, %2;\n  END IF;\n")
                    .arg(table, others);
    for (const Grant &grant : grants())
        body += QStringLiteral(
            "  IF to_regclass('%1') IS NOT NULL THEN\n    GRANT %2 ON %1 TO %3;\n  END IF;\n")
                    .arg(grant.table, grant.rights, grant.roles.join(QStringLiteral(", ")));
    for (const SequenceGrant &grant : sequenceGrants())
        body += QStringLiteral("  IF to_regclass('%1') IS NOT NULL THEN\n"
                               "    EXECUTE format('GRANT USAGE ON SEQUENCE %s TO %3', "
                               "pg_get_serial_sequence('%1', '%2'));\n  END IF;\n")
                    .arg(grant.table, grant.column, grant.roles.join(QStringLiteral(", ")));
    body += QStringLiteral("  IF to_regprocedure('kesta_log_patient_view(bigint,text)') IS NOT NULL THEN\n"
                           "    REVOKE ALL ON FUNCTION kesta_log_patient_view(bigint, text) FROM PUBLIC;\n"
                           "    GRANT EXECUTE ON FUNCTION kesta_log_patient_view(bigint, text) TO %1;\n"
                           "  END IF;\n")
                .arg(others);
    // Nothing to grant where the roles were never made.
    return { QStringLiteral("DO $$\nBEGIN\n  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '%1') THEN\n"
                            "    RETURN;\n  END IF;\n")
                 .arg(reception)
        + body + QStringLiteral("END\n$$") };
}

QString ServerRoles::becomeAdministratorStatement()
{
    return QStringLiteral(
        "DO $$\nBEGIN\n"
        "  IF EXISTS (SELECT FROM pg_roles WHERE rolname = '%1' AND pg_has_role(session_user, oid, "
        "'MEMBER') AND has_schema_privilege(oid, 'public', 'CREATE')) THEN\n"
        "    SET ROLE %1;\n  END IF;\nEND\n$$")
        .arg(administrator);
}
