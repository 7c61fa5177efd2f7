#include "db/moving/importmapping.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace
{

enum class Kind { Text, Memo, Date, DateTime, Real, Integer, Sex, Hand };

struct Field {
    const char *name;
    Kind kind;
    int maxLength;
};

// The columns a mapping may fill, as the layout stores them.
const QList<Field> &patientTable()
{
    static const QList<Field> fields { { "PatientID", Kind::Text, 16 }, { "LastName", Kind::Text, 32 },
        { "FirstName", Kind::Text, 32 }, { "MiddleName", Kind::Text, 32 }, { "Sex", Kind::Sex, 1 },
        { "DOB", Kind::Date, 0 }, { "Height", Kind::Real, 0 }, { "Weight", Kind::Real, 0 },
        { "Hand", Kind::Hand, 1 }, { "Referral", Kind::Text, 32 }, { "Diagnosis", Kind::Text, 128 },
        { "Medication", Kind::Text, 128 }, { "Comments", Kind::Memo, 0 },
        { "NativeLanguage", Kind::Text, 16 }, { "Ethnicity", Kind::Text, 16 }, { "Street", Kind::Text, 50 },
        { "City", Kind::Text, 16 }, { "State", Kind::Text, 16 }, { "ZIP", Kind::Text, 16 },
        { "Phone", Kind::Text, 32 }, { "FirstVisit", Kind::DateTime, 0 }, { "LastVisit", Kind::DateTime, 0 },
        { "Subdirectory", Kind::Text, 128 }, { "ArchiveFlag", Kind::Integer, 0 },
        { "ArchiveDate", Kind::DateTime, 0 } };
    return fields;
}

const QList<Field> &recordTable()
{
    static const QList<Field> fields { { "PatientID", Kind::Text, 16 }, { "RecordDate", Kind::DateTime, 0 },
        { "FileName", Kind::Text, 128 }, { "RecordType", Kind::Text, 8 }, { "Comments", Kind::Text, 64 },
        { "OperatorID", Kind::Text, 16 }, { "ReviewerID", Kind::Text, 16 }, { "ArchiveID", Kind::Text, 16 },
        { "ReviewDate", Kind::DateTime, 0 }, { "ArchiveDate", Kind::DateTime, 0 },
        { "ReviewFlag", Kind::Integer, 0 }, { "ReportFlag", Kind::Integer, 0 },
        { "ArchiveFlag", Kind::Integer, 0 }, { "Temperature", Kind::Real, 0 },
        { "Conditions", Kind::Text, 64 } };
    return fields;
}

const Field *fieldOf(const QList<Field> &fields, const QString &name)
{
    for (const Field &field : fields) {
        if (name == QLatin1String(field.name))
            return &field;
    }
    return nullptr;
}

QStringList namesOf(const QList<Field> &fields)
{
    QStringList names;
    for (const Field &field : fields)
        names << QLatin1String(field.name);
    return names;
}

int fullYear(int year, int digits)
{
    if (digits > 2)
        return year;
    const int now = QDate::currentDate().year();
    const int century = now - now % 100;
    return century + year > now ? century - 100 + year : century + year;
}

QTime timeOf(const QString &text)
{
    static const QRegularExpression time(QStringLiteral("(\\d{1,2}):(\\d{2})(?::(\\d{2}))?"));
    const QRegularExpressionMatch match = time.match(text);
    if (!match.hasMatch())
        return QTime(0, 0);
    return QTime(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
}

QVariant numberOf(const QVariant &value, bool *ok)
{
    if (value.userType() != QMetaType::QString) {
        *ok = value.canConvert<double>();
        return value.toDouble();
    }
    QString text = value.toString().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text.toDouble(ok);
}

QString mappingFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        + QStringLiteral("/import-mappings");
}

QJsonObject tableJson(const ImportMapping::TableMap &map)
{
    QJsonObject fields;
    for (auto it = map.fields.cbegin(); it != map.fields.cend(); ++it)
        fields.insert(it.key(), it.value());
    return QJsonObject { { QStringLiteral("source"), map.source }, { QStringLiteral("fields"), fields } };
}

ImportMapping::TableMap tableMap(const QJsonObject &object)
{
    ImportMapping::TableMap map;
    map.source = object.value(QStringLiteral("source")).toString();
    const QJsonObject fields = object.value(QStringLiteral("fields")).toObject();
    for (auto it = fields.begin(); it != fields.end(); ++it)
        map.fields.insert(it.key(), it.value().toString());
    return map;
}

} // namespace

bool ImportMapping::isUsable() const
{
    return !patients.source.isEmpty()
        && std::find(patients.fields.cbegin(), patients.fields.cend(), QStringLiteral("PatientID"))
        != patients.fields.cend();
}

QStringList ImportMapping::patientFields()
{
    return namesOf(patientTable()) << fullNameField();
}

QStringList ImportMapping::recordFields()
{
    return namesOf(recordTable());
}

int ImportMapping::maxLength(const QString &table, const QString &column)
{
    const Field *field = fieldOf(table == QLatin1String("Records") ? recordTable() : patientTable(), column);
    return field ? field->maxLength : 0;
}

ImportMapping ImportMapping::automatic(const ImportSource &source, bool *own)
{
    ImportMapping mapping;
    const auto byName = [](const ImportSource::Table &table, const QStringList &fields, TableMap *map) {
        map->source = table.name;
        for (const ImportSource::Column &column : table.columns) {
            for (const QString &field : fields) {
                if (column.name.compare(field, Qt::CaseInsensitive) == 0)
                    map->fields.insert(column.name, field);
            }
        }
    };
    const ImportSource::Table patients = source.table(QStringLiteral("Patients"));
    const ImportSource::Table records = source.table(QStringLiteral("Records"));
    if (!patients.name.isEmpty())
        byName(patients, namesOf(patientTable()), &mapping.patients);
    if (!records.name.isEmpty())
        byName(records, namesOf(recordTable()), &mapping.records);
    // The program's own files keep dates as ISO 8601.
    mapping.dateOrder = DateOrder::YearMonthDay;
    *own = mapping.isUsable();
    return mapping;
}

QString ImportMapping::layoutFile(const ImportSource::Table &table)
{
    QStringList names;
    for (const ImportSource::Column &column : table.columns)
        names << column.name.toLower();
    const QByteArray key
        = QCryptographicHash::hash(names.join(QLatin1Char('\x1f')).toUtf8(), QCryptographicHash::Sha1)
              .toHex()
              .left(16);
    return mappingFolder() + QLatin1Char('/') + QString::fromLatin1(key) + QStringLiteral(".json");
}

ImportMapping ImportMapping::saved(const ImportSource::Table &table, bool *found)
{
    ImportMapping mapping;
    QString reason;
    *found = load(layoutFile(table), &mapping, &reason);
    return mapping;
}

bool ImportMapping::remember(const ImportSource::Table &table, QString *reason) const
{
    QDir().mkpath(mappingFolder());
    return save(layoutFile(table), reason);
}

bool ImportMapping::save(const QString &file, QString *reason) const
{
    static const char *orders[] = { "DMY", "MDY", "YMD" };
    const QJsonObject object { { QStringLiteral("patients"), tableJson(patients) },
        { QStringLiteral("records"), tableJson(records) },
        { QStringLiteral("dateOrder"), QLatin1String(orders[int(dateOrder)]) } };
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(object).toJson()) < 0 || !out.commit()) {
        if (reason)
            *reason = tr("The mapping cannot be saved in %1: %2").arg(file, out.errorString());
        return false;
    }
    return true;
}

bool ImportMapping::load(const QString &file, ImportMapping *mapping, QString *reason)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        *reason = tr("%1 cannot be read: %2").arg(file, in.errorString());
        return false;
    }
    QJsonParseError error {};
    const QJsonObject object = QJsonDocument::fromJson(in.readAll(), &error).object();
    if (error.error != QJsonParseError::NoError) {
        *reason = tr("%1 is no mapping: %2").arg(file, error.errorString());
        return false;
    }
    mapping->patients = tableMap(object.value(QStringLiteral("patients")).toObject());
    mapping->records = tableMap(object.value(QStringLiteral("records")).toObject());
    const QString order = object.value(QStringLiteral("dateOrder")).toString();
    mapping->dateOrder = order == QLatin1String("MDY") ? DateOrder::MonthDayYear
        : order == QLatin1String("YMD")                ? DateOrder::YearMonthDay
                                                       : DateOrder::DayMonthYear;
    if (!mapping->isUsable()) {
        *reason = tr("%1 maps no patient table with its ID").arg(file);
        return false;
    }
    return true;
}

QDate ImportMapping::dateOf(const QString &given, DateOrder order)
{
    const QString text = given.trimmed();
    static const QRegularExpression digitsOnly(QStringLiteral("^(\\d{2})(\\d{2})(\\d{4}|\\d{2})$"));
    static const QRegularExpression parts(QStringLiteral("^(\\d{1,4})[./\\-](\\d{1,2})[./\\-](\\d{1,4})"));
    QRegularExpressionMatch match = parts.match(text);
    if (!match.hasMatch())
        match = digitsOnly.match(text);
    if (!match.hasMatch())
        return QDate();
    const QString a = match.captured(1);
    const QString b = match.captured(2);
    const QString c = match.captured(3);
    // A four-digit first part is a year whatever the source's order.
    if (a.size() == 4 || order == DateOrder::YearMonthDay)
        return QDate(fullYear(a.toInt(), a.size()), b.toInt(), c.toInt());
    if (order == DateOrder::MonthDayYear)
        return QDate(fullYear(c.toInt(), c.size()), a.toInt(), b.toInt());
    return QDate(fullYear(c.toInt(), c.size()), b.toInt(), a.toInt());
}

QString ImportMapping::sexLetter(const QString &text)
{
    const QString word = text.trimmed().toLower().remove(QLatin1Char('.'));
    static const QStringList male { QStringLiteral("m"), QStringLiteral("male"), QStringLiteral("man"),
        QStringLiteral("mr"), QStringLiteral("м"), QStringLiteral("муж"), QStringLiteral("мужской"),
        QStringLiteral("1") };
    static const QStringList female { QStringLiteral("f"), QStringLiteral("w"), QStringLiteral("female"),
        QStringLiteral("woman"), QStringLiteral("ms"), QStringLiteral("mrs"), QStringLiteral("miss"),
        QStringLiteral("ж"), QStringLiteral("жен"), QStringLiteral("женский"), QStringLiteral("2") };
    if (male.contains(word))
        return QStringLiteral("M");
    if (female.contains(word))
        return QStringLiteral("F");
    return QStringLiteral("U");
}

QString ImportMapping::handLetter(const QString &text)
{
    const QString word = text.trimmed().toLower();
    if (word.startsWith(QLatin1Char('l')) || word.startsWith(QStringLiteral("лев"))
        || word == QStringLiteral("л"))
        return QStringLiteral("L");
    if (word.startsWith(QLatin1Char('r')) || word.startsWith(QStringLiteral("пра"))
        || word == QStringLiteral("п"))
        return QStringLiteral("R");
    if (word.startsWith(QLatin1Char('a')) || word.startsWith(QStringLiteral("амб")))
        return QStringLiteral("A");
    return QStringLiteral("U");
}

QStringList ImportMapping::splitName(const QString &text)
{
    QString rest = text.simplified();
    QString last;
    const int comma = rest.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        last = rest.left(comma).trimmed();
        rest = rest.mid(comma + 1).trimmed();
    } else {
        last = rest.section(QLatin1Char(' '), 0, 0);
        rest = rest.section(QLatin1Char(' '), 1);
    }
    return { last, rest.section(QLatin1Char(' '), 0, 0), rest.section(QLatin1Char(' '), 1) };
}

QVariantMap ImportMapping::convert(const ImportSource::Table &table, const TableMap &map,
    const QVariantList &values, QStringList *problems) const
{
    const bool records = &map == &this->records;
    const QList<Field> &fields = records ? recordTable() : patientTable();
    const QString tableName = records ? QStringLiteral("Records") : QStringLiteral("Patients");
    QVariantMap row;
    QStringList split;
    for (int i = 0; i < table.columns.size() && i < values.size(); ++i) {
        const QString target = map.fields.value(table.columns.at(i).name);
        const QVariant value = values.at(i);
        if (target.isEmpty() || value.isNull())
            continue;
        if (target == fullNameField() && !records) {
            split = splitName(value.toString());
            continue;
        }
        const Field *field = fieldOf(fields, target);
        if (!field)
            continue;
        const QString shown = value.toString();
        bool ok = true;
        QVariant stored;
        switch (field->kind) {
        case Kind::Text: {
            // One-line fields take a line break as the comma it stood for.
            QString text = shown.trimmed();
            text.replace(QRegularExpression(QStringLiteral("\\s*[\\r\\n]+\\s*")), QStringLiteral(", "));
            stored = text;
            break;
        }
        case Kind::Memo:
            stored = shown;
            break;
        case Kind::Date:
        case Kind::DateTime: {
            QDateTime at = value.toDateTime();
            if (value.userType() == QMetaType::QString) {
                at = QDateTime(dateOf(shown, dateOrder), timeOf(shown.section(QLatin1Char(' '), 1)));
                const QDateTime iso = QDateTime::fromString(shown.trimmed(), Qt::ISODate);
                if (iso.isValid())
                    at = iso;
            }
            ok = at.isValid();
            if (field->kind == Kind::Date)
                stored = at.date();
            else
                stored = at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
            if (ok)
                break;
            problems->append(tr("%1: \"%2\" is no date").arg(target, shown));
            continue;
        }
        case Kind::Real:
        case Kind::Integer:
            stored = numberOf(value, &ok);
            if (field->kind == Kind::Integer)
                stored = qRound64(stored.toDouble());
            if (!ok) {
                problems->append(tr("%1: \"%2\" is no number").arg(target, shown));
                continue;
            }
            break;
        case Kind::Sex:
            stored = sexLetter(shown);
            break;
        case Kind::Hand:
            stored = handLetter(shown);
            break;
        }
        if (field->maxLength > 0 && stored.toString().size() > field->maxLength)
            problems->append(
                tr("%1: \"%2\" is longer than %3 characters").arg(target, shown).arg(field->maxLength));
        row.insert(target, stored);
    }
    static const char *names[] = { "LastName", "FirstName", "MiddleName" };
    for (int i = 0; i < split.size(); ++i) {
        const QString name = QLatin1String(names[i]);
        if (!row.contains(name) && !split.at(i).isEmpty()) {
            if (split.at(i).size() > maxLength(tableName, name))
                problems->append(tr("%1: \"%2\" is longer than %3 characters")
                                     .arg(name, split.at(i))
                                     .arg(maxLength(tableName, name)));
            row.insert(name, split.at(i));
        }
    }
    return row;
}
