#include "db/rows/record.h"

#include "toolkit/i18n/datetext.h"

Record::Record(QObject *parent)
    : AbstractDatabaseRow(nullptr, parent)
{
}

Record::Record(RowStore *store, QObject *parent)
    : AbstractDatabaseRow(store, parent)
{
}

Record::Record(int recordId, RowStore *store, QObject *parent)
    : AbstractDatabaseRow(store, parent)
{
    // The id column is never written.
    setRecordID(recordId);
    load();
}

Record::~Record() = default;

QString Record::idColumnName() const
{
    return QStringLiteral("RecordID");
}

QString Record::tableName() const
{
    return QStringLiteral("Records");
}

QString Record::getTextValue(const QString &name)
{
    if (name == QLatin1String("RecordDate"))
        return DateText::dateTime(m_RecordDate);
    if (name == QLatin1String("Temperature"))
        return m_Temperature > 0.1 ? QString::number(m_Temperature, 'f', 1) : QStringLiteral("0");
    return AbstractDatabaseRow::getTextValue(name);
}

DisplayTexts Record::displayTexts()
{
    return {
        { "Generic", QT_TRANSLATE_NOOP("Generic", "RecordID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "PatientID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "RecordDate") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "FileName") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "RecordType") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Comments") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "OperatorID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ReviewerID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ArchiveID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ReviewDate") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ArchiveDate") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ReviewFlag") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ReportFlag") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ArchiveFlag") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Temperature") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Conditions") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Size") },
    };
}
