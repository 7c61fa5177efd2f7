#include "db/rows/patient.h"

#include "db/rows/record.h"
#include "db/rows/rowstore.h"
#include "toolkit/i18n/datetext.h"
#include "toolkit/util/clock.h"

#include <QDebug>
#include <QMetaObject>

namespace
{

void registerEnums()
{
    static const bool registered = [] {
        qRegisterMetaType<Patient::PatientGender>("PatientGender");
        qRegisterMetaType<Patient::PatientHandness>("PatientHandness");
        return true;
    }();
    Q_UNUSED(registered)
}

const QString sexColumn = QStringLiteral("Sex");
const QString handColumn = QStringLiteral("Hand");
const QString idColumn = QStringLiteral("AutoID");

// The stored letter in upper case; 0 for anything but one Latin letter.
char upperLetter(const QString &letter)
{
    if (letter.size() != 1)
        return 0;
    const char16_t c = letter.at(0).unicode();
    if (c >= 'a' && c <= 'z')
        return char(c - 'a' + 'A');
    return c >= 'A' && c <= 'Z' ? char(c) : 0;
}

} // namespace

Patient::Patient(QObject *parent)
    : AbstractDatabaseRow(nullptr, parent)
{
    registerEnums();
}

Patient::Patient(RowStore *store, QObject *parent)
    : AbstractDatabaseRow(store, parent)
{
    registerEnums();
}

Patient::Patient(int autoId, RowStore *store, QObject *parent)
    : AbstractDatabaseRow(store, parent)
{
    registerEnums();
    // The id column is never written.
    setAutoID(autoId);
    load();
}

Patient::~Patient()
{
    qDeleteAll(recordList);
}

QString Patient::idColumnName() const
{
    return idColumn;
}

QString Patient::tableName() const
{
    return QStringLiteral("Patients");
}

bool Patient::fromDatabaseValue(const QString &column, const QVariant &value)
{
    if (column == sexColumn) {
        setSex(genderFromLetter(value.toString()));
        return true;
    }
    if (column == handColumn) {
        setHand(handFromLetter(value.toString()));
        return true;
    }
    return false;
}

bool Patient::toDatabaseText(const QString &column, QString *text)
{
    if (!text)
        return false;
    if (column == sexColumn) {
        *text = genderLetter(m_Sex);
        return true;
    }
    if (column == handColumn) {
        *text = handLetter(m_Hand);
        return true;
    }
    return false;
}

QString Patient::getTextValue(const QString &name)
{
    if (name.compare(QLatin1String("FullName"), Qt::CaseInsensitive) == 0)
        return fullName(true);
    if (name.compare(QLatin1String("Initials"), Qt::CaseInsensitive) == 0)
        return fullName(false);
    if (name.compare(QLatin1String("Age"), Qt::CaseInsensitive) == 0)
        return QString::number(age(), 'f', 0);
    if (name == QLatin1String("FirstVisit"))
        return DateText::date(firstVisit().date());
    if (name == QLatin1String("LastVisit"))
        return DateText::date(lastVisit().date());
    if (name == QLatin1String("DOB"))
        return DateText::date(m_DOB);
    return AbstractDatabaseRow::getTextValue(name);
}

QDateTime Patient::firstVisit() const
{
    const QDateTime recorded = store() ? store()->visitsOf(m_PatientID).first : QDateTime();
    return recorded.isValid() ? recorded : m_FirstVisit;
}

QDateTime Patient::lastVisit() const
{
    const QDateTime recorded = store() ? store()->visitsOf(m_PatientID).second : QDateTime();
    return recorded.isValid() ? recorded : m_LastVisit;
}

QString Patient::fullName(bool whole) const
{
    // Built in place: tables build it for every patient of the list.
    const QString last = m_LastName.trimmed(), first = m_FirstName.trimmed(), middle = m_MiddleName.trimmed();
    QString text;
    text.reserve(last.size() + first.size() + middle.size() + 4);
    const auto add = [&text](const QString &part) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += part;
    };
    if (!last.isEmpty())
        add(last);
    for (const QString *name : { &first, &middle }) {
        if (name->isEmpty())
            continue;
        if (whole || name->size() == 1)
            add(*name);
        else
            add(name->left(1).toUpper() + QLatin1Char('.'));
    }
    return text;
}

double Patient::age() const
{
    const QDate now = Clock::today();
    if (!m_DOB.isValid() || m_DOB > now)
        return -1;
    int years = now.year() - m_DOB.year();
    if (now.month() < m_DOB.month() || (now.month() == m_DOB.month() && now.day() < m_DOB.day()))
        --years;
    return years;
}

QString Patient::folderName() const
{
    const QString subdirectory = getSubdirectory().trimmed();
    if (!subdirectory.isEmpty())
        return subdirectory;
    QString id = m_PatientID;
    return fullName(true).remove(QLatin1Char(' ')) + QLatin1Char('_') + id.remove(QLatin1Char(' '));
}

void Patient::loadRecords()
{
    bool read = true;
    QString why;
    const QList<Record *> fresh = store() ? store()->readRecords(this, &read, &why) : QList<Record *>();
    // A read left unanswered (the server busy or gone) is no empty list:
    // what is shown stays, and a list never read stays unread.
    if (!read) {
        readFailed = !recordsRead;
        readError = readFailed ? why : QString();
        return;
    }
    const QList<Record *> replaced = recordList;
    recordList = fresh;
    recordsRead = true;
    readFailed = false;
    readError.clear();
    emit recordsUpdated();
    retireRecords(replaced);
}

void Patient::addRecord(Record *record)
{
    if (!recordsRead) {
        delete record;
        return;
    }
    recordList.append(record);
    emit recordAdded(record);
}

void Patient::dropRecord(Record *record)
{
    if (!recordList.removeOne(record))
        return;
    emit recordsUpdated();
    retireRecords({ record });
}

QList<Record *> Patient::records() const
{
    // Once per failure: every view asks, and each would wait for the server.
    if (!recordsRead && !readFailed && store()) {
        recordList = store()->readRecords(const_cast<Patient *>(this), &recordsRead, &readError);
        readFailed = !recordsRead;
    }
    return recordList;
}

void Patient::retireRecords(const QList<Record *> &replaced)
{
    if (replaced.isEmpty())
        return;
    // Views take the new list when recordsUpdated reaches them, queued; the
    // deletion is queued after that. Parented meanwhile, so that they go with
    // this patient should it go first.
    QList<QObject *> rows;
    for (Record *record : replaced) {
        record->setParent(this);
        rows.append(record);
    }
    if (store()) {
        store()->retire(rows);
        return;
    }
    QMetaObject::invokeMethod(
        this, [replaced] { qDeleteAll(replaced); }, Qt::QueuedConnection);
}

Patient *Patient::clone()
{
    auto *copy = new Patient(nullptr);
    for (const QString &column : columnNames()) {
        if (column != idColumn)
            copy->setValue(column, getValue(column));
    }
    return copy;
}

bool Patient::writeToStore(const QString &column, const QVariant &previous, QString *reason)
{
    if (column == QLatin1String("PatientID") && previous.isValid())
        return store()->writePatientId(this, previous.toString(), reason);
    return AbstractDatabaseRow::writeToStore(column, previous, reason);
}

bool Patient::copyFrom(Patient *other)
{
    if (!other || other == this)
        return true;
    bool allStored = true;
    for (const QString &column : columnNames()) {
        if (column != idColumn && !setValue(column, other->getValue(column)))
            allStored = false;
    }
    return allStored;
}

QString Patient::genderLetter(PatientGender gender)
{
    switch (gender) {
    case Gender_Unspecified:
        return QStringLiteral("U");
    case Gender_Male:
        return QStringLiteral("M");
    case Gender_Female:
        return QStringLiteral("F");
    }
    return QString();
}

QString Patient::handLetter(PatientHandness hand)
{
    switch (hand) {
    case Hand_Unspecified:
        return QStringLiteral("U");
    case Hand_Left:
        return QStringLiteral("L");
    case Hand_Right:
        return QStringLiteral("R");
    case Hand_Ambidextrous:
        return QStringLiteral("A");
    }
    return QString();
}

// Read for every patient of a list: the letter is compared as a character,
// not as a text.
Patient::PatientGender Patient::genderFromLetter(const QString &letter)
{
    switch (upperLetter(letter)) {
    case 'M':
        return Gender_Male;
    case 'F':
        return Gender_Female;
    default:
        return Gender_Unspecified;
    }
}

Patient::PatientHandness Patient::handFromLetter(const QString &letter)
{
    switch (upperLetter(letter)) {
    case 'L':
        return Hand_Left;
    case 'R':
        return Hand_Right;
    case 'A':
        return Hand_Ambidextrous;
    default:
        return Hand_Unspecified;
    }
}

DisplayTexts Patient::displayTexts()
{
    return {
        { "Generic", QT_TRANSLATE_NOOP("Generic", "AutoID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "PatientID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "LastName") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "FirstName") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "MiddleName") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Sex") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "DOB") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Height") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Weight") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Hand") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Referral") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Diagnosis") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Medication") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Comments") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "NativeLanguage") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Ethnicity") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Street") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "City") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "State") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ZIP") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Phone") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "FirstVisit") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "LastVisit") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Subdirectory") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ArchiveFlag") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ArchiveDate") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "FullName") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Initials") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Age") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "1.PatientMain") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "2.PatientPhysicalInfo") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "3.PatientLocalityInfo") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "cm") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "kg") },
        { "PatientGender", QT_TRANSLATE_NOOP("PatientGender", "Gender_Unspecified") },
        { "PatientGender", QT_TRANSLATE_NOOP("PatientGender", "Gender_Male") },
        { "PatientGender", QT_TRANSLATE_NOOP("PatientGender", "Gender_Female") },
        { "PatientHandness", QT_TRANSLATE_NOOP("PatientHandness", "Hand_Unspecified") },
        { "PatientHandness", QT_TRANSLATE_NOOP("PatientHandness", "Hand_Left") },
        { "PatientHandness", QT_TRANSLATE_NOOP("PatientHandness", "Hand_Right") },
        { "PatientHandness", QT_TRANSLATE_NOOP("PatientHandness", "Hand_Ambidextrous") },
    };
}
