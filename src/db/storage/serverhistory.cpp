#include "db/storage/serverhistory.h"

#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "toolkit/settings/propertyindex.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QMetaProperty>

namespace
{

struct Table {
    const char *name;
    const char *idColumn;
};

const Table tables[] = { { "Patients", "AutoID" }, { "Records", "RecordID" }, { "Removals", "RemovalID" },
    { "Conclusions", "RecordID" } };

// The server keeps names in lower case; the history keeps the program's.
QJsonObject columnNames()
{
    QJsonObject names;
    QStringList all = PropertyIndex::of(&Patient::staticMetaObject).names()
        + PropertyIndex::of(&Record::staticMetaObject).names();
    all << QStringLiteral("RemovalID") << QStringLiteral("RemovedAt") << QStringLiteral("Workstation")
        << QStringLiteral("UserName") << QStringLiteral("Kind") << QStringLiteral("Description")
        << QStringLiteral("PatientRef") << QStringLiteral("FolderName") << QStringLiteral("TrashFolder")
        << QStringLiteral("SizeBytes") << QStringLiteral("RestoredAt") << QStringLiteral("Conclusion")
        << QStringLiteral("WrittenBy") << QStringLiteral("WrittenAt") << QStringLiteral("Age");
    for (const QString &name : all)
        names.insert(name.toLower(), name);
    return names;
}

// A patient's enumerations are stored as one letter and kept in the history
// by their key, as the program names them.
QJsonObject enumerationKeys()
{
    QJsonObject columns;
    const QMetaObject &meta = Patient::staticMetaObject;
    Patient patient(static_cast<QObject *>(nullptr));
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (!property.isEnumType())
            continue;
        QJsonObject keys;
        const QMetaEnum enumeration = property.enumerator();
        for (int k = 0; k < enumeration.keyCount(); ++k) {
            property.write(&patient, enumeration.value(k));
            QString letter;
            if (patient.toDatabaseText(QLatin1String(property.name()), &letter))
                keys.insert(letter, QLatin1String(enumeration.key(k)));
        }
        if (!keys.isEmpty())
            columns.insert(QLatin1String(property.name()), keys);
    }
    return columns;
}

QString jsonLiteral(const QJsonObject &object)
{
    return QLatin1Char('\'')
        + QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)).replace('\'', "''")
        + QStringLiteral("'::jsonb");
}

const char *const nowText = "to_char(now() AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"')";

} // namespace

QStringList ServerHistory::triggerStatements()
{
    // The trash's own rows carry the removed rows and files, which the
    // history holds already as changes of their own.
    QString function
        = QStringLiteral(R"(CREATE OR REPLACE FUNCTION kesta_write_history() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
  names jsonb := %1;
  letters jsonb := %2;
  at text := %3;
  place text := coalesce(host(inet_client_addr()), 'local');
  old_row jsonb;
  new_row jsonb;
  source jsonb;
  row_id bigint;
  patient bigint;
  whole jsonb;
  key text;
  proper text;
  origin text := nullif(current_setting('kesta.origin', true), '');
BEGIN
  IF TG_OP <> 'INSERT' THEN old_row := to_jsonb(OLD); END IF;
  IF TG_OP <> 'DELETE' THEN new_row := to_jsonb(NEW); END IF;
  source := coalesce(new_row, old_row);
  row_id := (source ->> TG_ARGV[1])::bigint;
  IF TG_ARGV[0] = 'Patients' THEN
    patient := row_id;
  ELSIF TG_ARGV[0] = 'Removals' THEN
    patient := (source ->> 'patientref')::bigint;
  ELSIF TG_ARGV[0] = 'Records' THEN
    SELECT min(autoid) INTO patient FROM patients WHERE patientid = source ->> 'patientid';
  ELSIF TG_ARGV[0] = 'Conclusions' THEN
    SELECT min(p.autoid) INTO patient FROM records r JOIN patients p ON p.patientid = r.patientid
      WHERE r.recordid = row_id;
  END IF;
  IF TG_OP = 'UPDATE' THEN
    FOR key IN SELECT jsonb_object_keys(new_row) LOOP
      CONTINUE WHEN (new_row -> key) IS NOT DISTINCT FROM (old_row -> key);
      proper := coalesce(names ->> key, key);
      INSERT INTO history (changedat, workstation, username, changekind, tablename, changedrowid,
          columnname, oldvalue, newvalue, patientref)
        VALUES (at, place, session_user, 'Update', TG_ARGV[0], row_id, proper,
          coalesce(letters -> proper ->> (old_row ->> key), old_row ->> key),
          coalesce(letters -> proper ->> (new_row ->> key), new_row ->> key), patient);
    END LOOP;
    RETURN NEW;
  END IF;
  SELECT jsonb_object_agg(coalesce(names ->> e.key, e.key),
      to_jsonb(coalesce(letters -> coalesce(names ->> e.key, e.key) ->> (e.value #>> '{}'), e.value #>> '{}')))
    INTO whole FROM jsonb_each(source) e WHERE e.key NOT IN ('rowsdata', 'filesdata');
  INSERT INTO history (changedat, workstation, username, changekind, tablename, changedrowid,
      columnname, oldvalue, newvalue, patientref)
    VALUES (at, place, session_user, CASE TG_OP WHEN 'INSERT' THEN 'Insert' ELSE 'Delete' END, TG_ARGV[0],
      row_id, NULL, CASE TG_OP WHEN 'DELETE' THEN whole::text END, CASE TG_OP WHEN 'INSERT' THEN whole::text END,
      patient);
  -- An imported patient's row names its source, as a file database's import does.
  IF origin IS NOT NULL AND TG_OP = 'INSERT' AND TG_ARGV[0] = 'Patients' THEN
    INSERT INTO history (changedat, workstation, username, changekind, tablename, changedrowid,
        columnname, oldvalue, newvalue, patientref)
      VALUES (at, place, session_user, 'Import', TG_ARGV[0], row_id, NULL, NULL, origin, patient);
  END IF;
  RETURN NULL;
END
$$)")
              .arg(jsonLiteral(columnNames()), jsonLiteral(enumerationKeys()), QLatin1String(nowText));
    QStringList statements { function };
    for (const Table &table : tables) {
        const QString name = QString::fromLatin1(table.name).toLower();
        statements << QStringLiteral(
            "CREATE OR REPLACE TRIGGER kesta_history AFTER INSERT OR UPDATE OR DELETE ON %1 "
            "FOR EACH ROW EXECUTE FUNCTION kesta_write_history('%2', '%3')")
                          .arg(
                              name, QLatin1String(table.name), QString::fromLatin1(table.idColumn).toLower());
    }
    // Nobody changes what was written: the owner's rights are the only ones.
    statements << QStringLiteral("REVOKE ALL ON FUNCTION kesta_write_history() FROM PUBLIC");
    return statements;
}

QStringList ServerHistory::patientViewStatements()
{
    return { QStringLiteral(R"(CREATE OR REPLACE FUNCTION kesta_log_patient_view(patient bigint, station text)
RETURNS boolean LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
  at text := %1;
  since text := to_char((now() - interval '10 minutes') AT TIME ZONE 'UTC', 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"');
BEGIN
  IF EXISTS (SELECT FROM patientviews WHERE patientref = patient AND workstation = station
      AND viewedat > since) THEN
    RETURN false;
  END IF;
  INSERT INTO patientviews (viewedat, username, workstation, address, patientref)
    VALUES (at, session_user, station, coalesce(host(inet_client_addr()), 'local'), patient);
  RETURN true;
END
$$)")
                 .arg(QLatin1String(nowText)),
        QStringLiteral("REVOKE ALL ON FUNCTION kesta_log_patient_view(bigint, text) FROM PUBLIC") };
}
