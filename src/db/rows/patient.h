#pragma once

#include "db/rows/abstractdatabaserow.h"
#include "toolkit/settings/displaytext.h"
#include "toolkit/settings/sparsetexts.h"

#include <QDate>
#include <QDateTime>
#include <QList>

class Record;

// One row of the Patients table. Its records are the Records rows whose
// PatientID equals its PatientID.
class Patient : public AbstractDatabaseRow
{
    Q_OBJECT
public:
    enum PatientGender { Gender_Unspecified = 0, Gender_Male = 1, Gender_Female = 2 };
    Q_ENUM(PatientGender)
    enum PatientHandness { Hand_Unspecified = 0, Hand_Left = 1, Hand_Right = 2, Hand_Ambidextrous = 3 };
    Q_ENUM(PatientHandness)

private:
    // clang-format off
    Q_PROPERTY(int AutoID READ getAutoID WRITE setAutoID RESET resetAutoID NOTIFY changedAutoID)
    Q_CLASSINFO("AutoIDEditable", "true")
    Q_CLASSINFO("AutoIDNotVisible", "true")
    Q_CLASSINFO("AutoIDDefault", "0")
    ZT_SETTING(int, AutoID, 0)

    Q_PROPERTY(QString PatientID READ getPatientID WRITE setPatientID RESET resetPatientID NOTIFY changedPatientID)
    Q_CLASSINFO("PatientIDEditable", "true")
    Q_CLASSINFO("PatientIDMaxLength", "16")
    Q_CLASSINFO("PatientIDCategory", "1.PatientMain")
    Q_CLASSINFO("PatientIDNoDefault", "true")
    Q_CLASSINFO("PatientIDDefault", "")
    ZT_SETTING(QString, PatientID)

    Q_PROPERTY(QString LastName READ getLastName WRITE setLastName RESET resetLastName NOTIFY changedLastName)
    Q_CLASSINFO("LastNameEditable", "true")
    Q_CLASSINFO("LastNameMaxLength", "32")
    Q_CLASSINFO("LastNameCategory", "1.PatientMain")
    Q_CLASSINFO("LastNameNoDefault", "true")
    Q_CLASSINFO("LastNameDefault", "")
    ZT_SETTING(QString, LastName)

    Q_PROPERTY(QString FirstName READ getFirstName WRITE setFirstName RESET resetFirstName NOTIFY changedFirstName)
    Q_CLASSINFO("FirstNameEditable", "true")
    Q_CLASSINFO("FirstNameMaxLength", "32")
    Q_CLASSINFO("FirstNameCategory", "1.PatientMain")
    Q_CLASSINFO("FirstNameNoDefault", "true")
    Q_CLASSINFO("FirstNameDefault", "")
    ZT_SETTING(QString, FirstName)

    Q_PROPERTY(QString MiddleName READ getMiddleName WRITE setMiddleName RESET resetMiddleName NOTIFY changedMiddleName)
    Q_CLASSINFO("MiddleNameEditable", "true")
    Q_CLASSINFO("MiddleNameMaxLength", "32")
    Q_CLASSINFO("MiddleNameCategory", "1.PatientMain")
    Q_CLASSINFO("MiddleNameNoDefault", "true")
    Q_CLASSINFO("MiddleNameDefault", "")
    ZT_SETTING(QString, MiddleName)

    Q_PROPERTY(PatientGender Sex READ getSex WRITE setSex RESET resetSex NOTIFY changedSex)
    Q_CLASSINFO("SexEditable", "true")
    Q_CLASSINFO("SexMaxLength", "1")
    Q_CLASSINFO("SexCategory", "1.PatientMain")
    Q_CLASSINFO("SexNoDefault", "true")
    Q_CLASSINFO("SexDefault", "Gender_Unspecified")
    ZT_SETTING(PatientGender, Sex, Gender_Unspecified)

    Q_PROPERTY(QDate DOB READ getDOB WRITE setDOB RESET resetDOB NOTIFY changedDOB)
    Q_CLASSINFO("DOBEditable", "true")
    Q_CLASSINFO("DOBCategory", "1.PatientMain")
    Q_CLASSINFO("DOBNoDefault", "true")
    Q_CLASSINFO("DOBDefault", "QDate()")
    // No date in the future; the calendar opens years back.
    Q_CLASSINFO("DOBSpecialType", "BirthDate")
    ZT_SETTING(QDate, DOB)

    Q_PROPERTY(double Height READ getHeight WRITE setHeight RESET resetHeight NOTIFY changedHeight)
    Q_CLASSINFO("HeightEditable", "true")
    Q_CLASSINFO("HeightCategory", "2.PatientPhysicalInfo")
    Q_CLASSINFO("HeightSuffix", " cm")
    Q_CLASSINFO("HeightMinimum", "0")
    Q_CLASSINFO("HeightBlankAtMinimum", "true")
    Q_CLASSINFO("HeightPrecision", "0")
    Q_CLASSINFO("HeightNoDefault", "true")
    Q_CLASSINFO("HeightDefault", "0")
    ZT_SETTING(double, Height, 0)

    Q_PROPERTY(double Weight READ getWeight WRITE setWeight RESET resetWeight NOTIFY changedWeight)
    Q_CLASSINFO("WeightEditable", "true")
    Q_CLASSINFO("WeightCategory", "2.PatientPhysicalInfo")
    Q_CLASSINFO("WeightPrecision", "0")
    Q_CLASSINFO("WeightSuffix", " kg")
    Q_CLASSINFO("WeightMinimum", "0")
    Q_CLASSINFO("WeightBlankAtMinimum", "true")
    Q_CLASSINFO("WeightNoDefault", "true")
    Q_CLASSINFO("WeightDefault", "0")
    ZT_SETTING(double, Weight, 0)

    Q_PROPERTY(PatientHandness Hand READ getHand WRITE setHand RESET resetHand NOTIFY changedHand)
    Q_CLASSINFO("HandEditable", "true")
    Q_CLASSINFO("HandMaxLength", "1")
    Q_CLASSINFO("HandCategory", "2.PatientPhysicalInfo")
    Q_CLASSINFO("HandNoDefault", "true")
    Q_CLASSINFO("HandDefault", "Hand_Unspecified")
    ZT_SETTING(PatientHandness, Hand, Hand_Unspecified)

    Q_PROPERTY(QString Referral READ getReferral WRITE setReferral RESET resetReferral NOTIFY changedReferral)
    Q_CLASSINFO("ReferralEditable", "true")
    Q_CLASSINFO("ReferralMaxLength", "32")
    Q_CLASSINFO("ReferralCategory", "2.PatientPhysicalInfo")
    Q_CLASSINFO("ReferralNoDefault", "true")
    Q_CLASSINFO("ReferralDefault", "")
    ZT_SPARSE_TEXT_SETTING(Referral, 0)

    Q_PROPERTY(QString Diagnosis READ getDiagnosis WRITE setDiagnosis RESET resetDiagnosis NOTIFY changedDiagnosis)
    Q_CLASSINFO("DiagnosisEditable", "true")
    Q_CLASSINFO("DiagnosisMaxLength", "128")
    Q_CLASSINFO("DiagnosisCategory", "2.PatientPhysicalInfo")
    Q_CLASSINFO("DiagnosisNoDefault", "true")
    Q_CLASSINFO("DiagnosisDefault", "")
    ZT_SETTING(QString, Diagnosis)

    Q_PROPERTY(QString Medication READ getMedication WRITE setMedication RESET resetMedication NOTIFY changedMedication)
    Q_CLASSINFO("MedicationEditable", "true")
    Q_CLASSINFO("MedicationMaxLength", "128")
    Q_CLASSINFO("MedicationCategory", "2.PatientPhysicalInfo")
    Q_CLASSINFO("MedicationNoDefault", "true")
    Q_CLASSINFO("MedicationDefault", "")
    ZT_SPARSE_TEXT_SETTING(Medication, 1)

    Q_PROPERTY(QString Comments READ getComments WRITE setComments RESET resetComments NOTIFY changedComments)
    Q_CLASSINFO("CommentsEditable", "true")
    Q_CLASSINFO("CommentsCategory", "2.PatientPhysicalInfo")
    Q_CLASSINFO("CommentsNoDefault", "true")
    Q_CLASSINFO("CommentsDefault", "")
    ZT_SPARSE_TEXT_SETTING(Comments, 2)

    Q_PROPERTY(QString NativeLanguage READ getNativeLanguage WRITE setNativeLanguage RESET resetNativeLanguage NOTIFY changedNativeLanguage)
    Q_CLASSINFO("NativeLanguageEditable", "true")
    Q_CLASSINFO("NativeLanguageMaxLength", "16")
    Q_CLASSINFO("NativeLanguageCategory", "3.PatientLocalityInfo")
    Q_CLASSINFO("NativeLanguageNoDefault", "true")
    Q_CLASSINFO("NativeLanguageDefault", "")
    ZT_SPARSE_TEXT_SETTING(NativeLanguage, 3)

    Q_PROPERTY(QString Ethnicity READ getEthnicity WRITE setEthnicity RESET resetEthnicity NOTIFY changedEthnicity)
    Q_CLASSINFO("EthnicityEditable", "true")
    Q_CLASSINFO("EthnicityMaxLength", "16")
    Q_CLASSINFO("EthnicityCategory", "3.PatientLocalityInfo")
    Q_CLASSINFO("EthnicityNoDefault", "true")
    Q_CLASSINFO("EthnicityDefault", "")
    ZT_SPARSE_TEXT_SETTING(Ethnicity, 4)

    Q_PROPERTY(QString Street READ getStreet WRITE setStreet RESET resetStreet NOTIFY changedStreet)
    Q_CLASSINFO("StreetEditable", "true")
    Q_CLASSINFO("StreetMaxLength", "50")
    Q_CLASSINFO("StreetCategory", "3.PatientLocalityInfo")
    Q_CLASSINFO("StreetNoDefault", "true")
    Q_CLASSINFO("StreetDefault", "")
    ZT_SPARSE_TEXT_SETTING(Street, 5)

    Q_PROPERTY(QString City READ getCity WRITE setCity RESET resetCity NOTIFY changedCity)
    Q_CLASSINFO("CityEditable", "true")
    Q_CLASSINFO("CityMaxLength", "16")
    Q_CLASSINFO("CityCategory", "3.PatientLocalityInfo")
    Q_CLASSINFO("CityNoDefault", "true")
    Q_CLASSINFO("CityDefault", "")
    ZT_SETTING(QString, City)

    Q_PROPERTY(QString State READ getState WRITE setState RESET resetState NOTIFY changedState)
    Q_CLASSINFO("StateEditable", "true")
    Q_CLASSINFO("StateMaxLength", "16")
    Q_CLASSINFO("StateCategory", "3.PatientLocalityInfo")
    Q_CLASSINFO("StateNoDefault", "true")
    Q_CLASSINFO("StateDefault", "")
    ZT_SPARSE_TEXT_SETTING(State, 6)

    Q_PROPERTY(QString ZIP READ getZIP WRITE setZIP RESET resetZIP NOTIFY changedZIP)
    Q_CLASSINFO("ZIPEditable", "true")
    Q_CLASSINFO("ZIPMaxLength", "16")
    Q_CLASSINFO("ZIPCategory", "3.PatientLocalityInfo")
    Q_CLASSINFO("ZIPNoDefault", "true")
    Q_CLASSINFO("ZIPDefault", "")
    ZT_SPARSE_TEXT_SETTING(ZIP, 7)

    Q_PROPERTY(QString Phone READ getPhone WRITE setPhone RESET resetPhone NOTIFY changedPhone)
    Q_CLASSINFO("PhoneEditable", "true")
    Q_CLASSINFO("PhoneMaxLength", "32")
    Q_CLASSINFO("PhoneCategory", "3.PatientLocalityInfo")
    Q_CLASSINFO("PhoneNoDefault", "true")
    Q_CLASSINFO("PhoneDefault", "")
    ZT_SPARSE_TEXT_SETTING(Phone, 8)

    Q_PROPERTY(QDateTime FirstVisit READ getFirstVisit WRITE setFirstVisit RESET resetFirstVisit NOTIFY changedFirstVisit)
    Q_CLASSINFO("FirstVisitEditable", "true")
    Q_CLASSINFO("FirstVisitNotVisible", "true")
    Q_CLASSINFO("FirstVisitDefault", "QDateTime()")
    ZT_SETTING(QDateTime, FirstVisit)

    Q_PROPERTY(QDateTime LastVisit READ getLastVisit WRITE setLastVisit RESET resetLastVisit NOTIFY changedLastVisit)
    Q_CLASSINFO("LastVisitEditable", "true")
    Q_CLASSINFO("LastVisitNotVisible", "true")
    Q_CLASSINFO("LastVisitDefault", "QDateTime()")
    ZT_SETTING(QDateTime, LastVisit)

    Q_PROPERTY(QString Subdirectory READ getSubdirectory WRITE setSubdirectory RESET resetSubdirectory NOTIFY changedSubdirectory)
    Q_CLASSINFO("SubdirectoryEditable", "true")
    Q_CLASSINFO("SubdirectoryMaxLength", "128")
    Q_CLASSINFO("SubdirectoryNotVisible", "true")
    Q_CLASSINFO("SubdirectoryDefault", "")
    ZT_SPARSE_TEXT_SETTING(Subdirectory, 9)

    Q_PROPERTY(int ArchiveFlag READ getArchiveFlag WRITE setArchiveFlag RESET resetArchiveFlag NOTIFY changedArchiveFlag)
    Q_CLASSINFO("ArchiveFlagEditable", "true")
    Q_CLASSINFO("ArchiveFlagNotVisible", "true")
    Q_CLASSINFO("ArchiveFlagDefault", "0")
    ZT_SETTING(int, ArchiveFlag, 0)

    Q_PROPERTY(QDateTime ArchiveDate READ getArchiveDate WRITE setArchiveDate RESET resetArchiveDate NOTIFY changedArchiveDate)
    Q_CLASSINFO("ArchiveDateEditable", "true")
    Q_CLASSINFO("ArchiveDateNotVisible", "true")
    Q_CLASSINFO("ArchiveDateDefault", "QDateTime()")
    ZT_SETTING(QDateTime, ArchiveDate)
    // clang-format on

public:
    // A new, unstored patient (the editor's); nothing of it is ever written.
    explicit Patient(QObject *parent = nullptr);
    // A patient of the store whose values its reader fills in.
    Patient(RowStore *store, QObject *parent);
    // The stored patient with this AutoID, read with one statement; its
    // records are read when first asked for.
    Patient(int autoId, RowStore *store, QObject *parent);
    ~Patient() override;

    int getId() override { return m_AutoID; }
    QString idColumnName() const override;
    QString tableName() const override;
    bool fromDatabaseValue(const QString &column, const QVariant &value) override;
    bool toDatabaseText(const QString &column, QString *text) override;
    // Adds the computed names FullName, Initials and Age, and visit dates as
    // yyyy/MM/dd.
    QString getTextValue(const QString &name) override;

    // The dates of the patient's first and last recording; the stored columns
    // for a patient without records (or without a database).
    QDateTime firstVisit() const;
    QDateTime lastVisit() const;

    // "Petrov Ivan Sergeevich", or with initials "Petrov I. S.".
    QString fullName(bool whole = true) const;
    // Whole years on the clock's today; -1 without a valid birth date, or with one
    // that lies in the future.
    double age() const;
    // The patient's folder under the patients' folder (not created here).
    QString folderName() const;

    // Reads the records afresh and emits recordsUpdated, also when there are none.
    void loadRecords();
    // Takes a record the database has just stored (owned from now on) without
    // reading the others again, and emits recordAdded; a list not read yet
    // stays unread, since its first reading will hold the record.
    void addRecord(Record *record);
    // Lets go of a record whose row is gone or belongs elsewhere now, and
    // emits recordsUpdated.
    void dropRecord(Record *record);
    // The records, read when first asked for (without a signal: nothing showed
    // them before). A first reading that failed is not tried again here, and
    // shows as none: loadRecords tries again.
    QList<Record *> records() const;
    bool recordsAreRead() const { return recordsRead; }
    // Whether the records could not be read while none have been, and why.
    bool recordsReadFailed() const { return readFailed; }
    QString recordsReadError() const { return readError; }

    // An unstored copy: every column but AutoID.
    Patient *clone();
    // Sets every column but AutoID from the other patient; on a stored patient
    // each changed column is written at once, which is how an edit is saved.
    // False when a column was refused (it keeps its stored value; the others
    // are saved).
    bool copyFrom(Patient *other);

    // The stored letter of a value ("M", "F", "U" ...), empty outside the table.
    static QString genderLetter(PatientGender gender);
    static QString handLetter(PatientHandness hand);
    // The value of a stored letter, case ignored; unknown letters are unspecified.
    static PatientGender genderFromLetter(const QString &letter);
    static PatientHandness handFromLetter(const QString &letter);

    // What the forms and tables show for patients: column names, categories,
    // computed names, suffixes and enumerator keys.
    static DisplayTexts displayTexts();

signals:
    void recordsUpdated();
    void recordAdded(Record *record);

protected:
    // A changed PatientID takes the patient's records along.
    bool writeToStore(const QString &column, const QVariant &previous, QString *reason) override;

private:
    void retireRecords(const QList<Record *> &replaced);

    mutable QList<Record *> recordList;
    // Referral to Phone and Subdirectory: empty in most patients' rows.
    SparseTexts sparseTexts;
    mutable QString readError;
    mutable bool recordsRead = false;
    mutable bool readFailed = false;
};
