#include "db/storage/sqlstatements.h"

QString SqlStatements::highestId(const QString &table, const QString &idColumn)
{
    return QStringLiteral("SELECT ") + idColumn + QStringLiteral(" from ") + table
        + QStringLiteral(" ORDER BY ") + idColumn + QStringLiteral(" DESC");
}

QString SqlStatements::allRows(const QString &table)
{
    return QStringLiteral("SELECT * from ") + table;
}

QString SqlStatements::row(const QString &table, const QString &idColumn, int id)
{
    return allRows(table) + QStringLiteral(" where ") + idColumn + QLatin1Char('=') + QString::number(id);
}

QString SqlStatements::insert(const QString &table, const QStringList &columns, const QStringList &valueTexts)
{
    return QStringLiteral("INSERT into ") + table + QStringLiteral(" (") + columns.join(QStringLiteral(", "))
        + QStringLiteral(") VALUES (") + valueTexts.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString SqlStatements::deleteRow(const QString &table, const QString &idColumn, int id)
{
    return QStringLiteral("DELETE from ") + table + QStringLiteral(" where ") + idColumn + QLatin1Char('=')
        + QString::number(id);
}

QString SqlStatements::writeColumn(
    const QString &table, const QString &column, const QString &valueText, const QString &idColumn, int id)
{
    return QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + column + QLatin1Char('=') + valueText
        + QStringLiteral(" WHERE ") + idColumn + QLatin1Char('=') + QString::number(id);
}

QString SqlStatements::recordsOfPatient(const QString &patientId)
{
    return QStringLiteral("SELECT * from Records where PatientID=") + textLiteral(patientId);
}

QString SqlStatements::visits()
{
    return QStringLiteral("SELECT PatientID, MIN(RecordDate), MAX(RecordDate) from Records GROUP BY PatientID");
}

QString SqlStatements::recordIds(const QString &patientId)
{
    return QStringLiteral("SELECT RecordID from Records where PatientID=") + textLiteral(patientId);
}

QString SqlStatements::moveRecords(const QString &oldPatientId, const QString &newPatientId)
{
    return QStringLiteral("UPDATE Records SET PatientID=") + textLiteral(newPatientId)
        + QStringLiteral(" WHERE PatientID=") + textLiteral(oldPatientId);
}

QString SqlStatements::textLiteral(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("' '");
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}
