#include "db/rows/abstractdatabaserow.h"

#include "db/rows/rowevents.h"
#include "db/rows/rowstore.h"
#include "db/storage/rowcursor.h"
#include "toolkit/settings/propertyindex.h"

#include <QDateTime>
#include <QHash>
#include <QSqlQuery>

namespace
{

// The column a setter of a stored row is changing and the value it replaces,
// until the row's write has gone through.
struct Replaced {
    const char *column = nullptr;
    QVariant value;
};

QHash<const AbstractDatabaseRow *, Replaced> &replacedValues()
{
    // Rows are written on the thread they live on.
    thread_local QHash<const AbstractDatabaseRow *, Replaced> replaced;
    return replaced;
}

} // namespace

AbstractDatabaseRow::AbstractDatabaseRow(RowStore *store, QObject *parent)
    : ZTSettings(QString(), false, parent, ZTSettings::XML)
    , rowStore(store)
{
}

AbstractDatabaseRow::~AbstractDatabaseRow()
{
    QHash<const AbstractDatabaseRow *, Replaced> &replaced = replacedValues();
    if (!replaced.isEmpty())
        replaced.remove(this);
    emit RowEvents::instance()->gone(this);
}

int AbstractDatabaseRow::getId()
{
    return getValue(idColumnName()).toInt();
}

bool AbstractDatabaseRow::fromDatabaseValue(const QString &column, const QVariant &value)
{
    Q_UNUSED(column)
    Q_UNUSED(value)
    return false;
}

bool AbstractDatabaseRow::toDatabaseText(const QString &column, QString *text)
{
    Q_UNUSED(column)
    Q_UNUSED(text)
    return false;
}

const QStringList &AbstractDatabaseRow::columnNames() const
{
    return properties().names();
}

QList<QPair<QString, int>> AbstractDatabaseRow::columnLimits() const
{
    QList<QPair<QString, int>> limits;
    const QMetaObject *meta = metaObject();
    for (const QString &column : columnNames()) {
        const int info
            = meta->indexOfClassInfo(QString(column + QLatin1String("MaxLength")).toLatin1().constData());
        if (info >= 0)
            limits.append({ column, QString::fromLatin1(meta->classInfo(info).value()).toInt() });
    }
    return limits;
}

bool AbstractDatabaseRow::setValue(const QString &name, const QVariant &value)
{
    writeRefused = false;
    return ZTSettings::setValue(name, value) && !writeRefused;
}

bool AbstractDatabaseRow::load()
{
    return rowStore && rowStore->readRow(this);
}

namespace
{

// A date or a date and time the database gave as its ISO 8601 text.
bool readIsoDate(const QString &text, int type, QVariant *value)
{
    const QByteArray bytes = text.toLatin1();
    if (type == QMetaType::QDate) {
        QDate date;
        if (!RowCursor::isoDate(bytes.constData(), bytes.size(), &date))
            return false;
        *value = date;
        return true;
    }
    QDateTime dateTime;
    if (type != QMetaType::QDateTime || bytes.size() <= 10 || bytes.at(10) != 'T'
        || !RowCursor::isoDateTime(bytes.constData(), bytes.size(), &dateTime))
        return false;
    *value = dateTime;
    return true;
}

// A number or a date stored plainly, straight to the property.
bool writeTyped(QObject *row, const RowCursor &cursor, int field, const PropertyIndex &index, int position)
{
    const int type = index.typeAt(position);
    switch (type) {
    case QMetaType::Int: {
        int number = 0;
        return cursor.typed(field, type, &number) && index.writeAs(row, position, type, &number);
    }
    case QMetaType::Double: {
        double number = 0;
        return cursor.typed(field, type, &number) && index.writeAs(row, position, type, &number);
    }
    case QMetaType::QDate: {
        QDate date;
        return cursor.typed(field, type, &date) && index.writeAs(row, position, type, &date);
    }
    case QMetaType::QDateTime: {
        QDateTime dateTime;
        return cursor.typed(field, type, &dateTime) && index.writeAs(row, position, type, &dateTime);
    }
    default:
        return false;
    }
}

} // namespace

void AbstractDatabaseRow::takeStoredValues(const QSqlQuery &query, const QVector<int> &fields)
{
    takeStoredValues(*RowCursor::of(const_cast<QSqlQuery &>(query)), fields);
}

void AbstractDatabaseRow::takeStoredValues(const RowCursor &cursor, const QVector<int> &fields)
{
    const bool wasBlocked = blockSignals(true);
    writesSuspended = true;
    // Nothing of the fill is heard: each setter only stores, with no signal
    // or announcement per value.
    const bool wasQuiet = fillingQuietly;
    fillingQuietly = true;
    const PropertyIndex &index = properties();
    const QStringList &names = index.names();
    const auto asStored = [](QString *text) {
        // A single blank is how an empty text is stored (SqlStatements::textLiteral).
        if (*text == QLatin1String(" "))
            *text = QString(QLatin1String(""));
    };
    QString stored;
    for (int i = 0; i < index.count(); ++i) {
        const int field = fields.at(i);
        if (field < 0)
            continue;
        const int type = index.typeAt(i);
        const bool text = type == QMetaType::QString;
        // Texts, most of a list's values, shared by the cursor, and plain
        // numbers and dates go straight to their setter.
        if (text && cursor.text(field, &stored)) {
            asStored(&stored);
            if (index.writeAs(this, i, type, &stored))
                continue;
        } else if (!text && writeTyped(this, cursor, field, index, i)) {
            continue;
        } else if (index.isEnumerationAt(i) && cursor.text(field, &stored)
            && fromDatabaseValue(names.at(i), stored)) {
            continue;
        }
        QVariant value = cursor.value(field);
        if (index.isEnumerationAt(i) && fromDatabaseValue(names.at(i), value))
            continue;
        const bool textValue = value.userType() == QMetaType::QString;
        // The property converts the value to its type; NULL (an empty text to
        // a text), or a value that does not convert, leaves it as it is.
        if (value.isNull() && !text)
            continue;
        if (text && textValue)
            asStored(static_cast<QString *>(value.data()));
        else if (!text && textValue)
            readIsoDate(value.toString(), type, &value);
        index.write(this, i, value);
    }
    fillingQuietly = wasQuiet;
    writesSuspended = false;
    blockSignals(wasBlocked);
}

bool AbstractDatabaseRow::writeToStore(const QString &column, const QVariant &previous, QString *reason)
{
    return rowStore->writeColumn(this, column, previous, reason);
}

void AbstractDatabaseRow::putBack(const QString &column, const QVariant &value)
{
    writesSuspended = true;
    ZTSettings::setValue(column, value);
    writesSuspended = false;
}

void AbstractDatabaseRow::changingProperty(const char *name)
{
    if (!rowStore || writesSuspended)
        return;
    replacedValues().insert(this, { name, getValue(QLatin1String(name)) });
}

void AbstractDatabaseRow::changedProperty(const QString &name)
{
    if (!writesSuspended && !updateColumn(name))
        return; // the stored value is back, and was announced as a change of its own
    ZTSettings::changedProperty(name);
    if (!signalsBlocked())
        emit RowEvents::instance()->changed(this);
}

bool AbstractDatabaseRow::updateColumn(const QString &column)
{
    if (!rowStore || column == idColumnName() || getId() <= 0)
        return true;
    const Replaced replaced = replacedValues().take(this);
    const bool knowsPrevious = replaced.column && column == QLatin1String(replaced.column);
    const QVariant previous = knowsPrevious ? replaced.value : QVariant();

    QString reason;
    if (writeToStore(column, previous, &reason))
        return true;
    writeRefused = true;
    if (knowsPrevious)
        putBack(column, previous);
    return false;
}
