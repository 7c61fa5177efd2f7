#pragma once

#include "db/abstractdatabaserow.h"
#include "toolkit/settings/displaytext.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <memory>

class Patient;

// One row of the Records table: one recording of a patient, whose file lies
// in the patient's folder (FileName is relative to it).
class Record : public AbstractDatabaseRow
{
    Q_OBJECT

    // clang-format off
    Q_PROPERTY(int RecordID READ getRecordID WRITE setRecordID RESET resetRecordID NOTIFY changedRecordID)
    Q_CLASSINFO("RecordIDEditable", "true")
    Q_CLASSINFO("RecordIDNotVisible", "true")
    Q_CLASSINFO("RecordIDDefault", "-1")
    ZT_SETTING(int, RecordID, -1)

    Q_PROPERTY(QString PatientID READ getPatientID WRITE setPatientID RESET resetPatientID NOTIFY changedPatientID)
    Q_CLASSINFO("PatientIDEditable", "true")
    Q_CLASSINFO("PatientIDNotVisible", "true")
    Q_CLASSINFO("PatientIDDefault", "")
    ZT_SETTING(QString, PatientID)

    Q_PROPERTY(QDateTime RecordDate READ getRecordDate WRITE setRecordDate RESET resetRecordDate NOTIFY changedRecordDate)
    Q_CLASSINFO("RecordDateEditable", "true")
    Q_CLASSINFO("RecordDateReadOnly", "true")
    Q_CLASSINFO("RecordDateDefault", "QDateTime()")
    ZT_SETTING(QDateTime, RecordDate)

    Q_PROPERTY(QString FileName READ getFileName WRITE setFileName RESET resetFileName NOTIFY changedFileName)
    Q_CLASSINFO("FileNameEditable", "true")
    Q_CLASSINFO("FileNameReadOnly", "true")
    Q_CLASSINFO("FileNameNoDefault", "true")
    Q_CLASSINFO("FileNameDefault", "")
    ZT_SETTING(QString, FileName)

    Q_PROPERTY(QString RecordType READ getRecordType WRITE setRecordType RESET resetRecordType NOTIFY changedRecordType)
    Q_CLASSINFO("RecordTypeEditable", "true")
    Q_CLASSINFO("RecordTypeDefault", "")
    ZT_SETTING(QString, RecordType)

    Q_PROPERTY(QString Comments READ getComments WRITE setComments RESET resetComments NOTIFY changedComments)
    Q_CLASSINFO("CommentsEditable", "true")
    Q_CLASSINFO("CommentsNoDefault", "true")
    Q_CLASSINFO("CommentsDefault", "")
    ZT_SETTING(QString, Comments)

    Q_PROPERTY(QString OperatorID READ getOperatorID WRITE setOperatorID RESET resetOperatorID NOTIFY changedOperatorID)
    Q_CLASSINFO("OperatorIDEditable", "true")
    Q_CLASSINFO("OperatorIDNotVisible", "true")
    Q_CLASSINFO("OperatorIDDefault", "")
    ZT_SETTING(QString, OperatorID)

    Q_PROPERTY(QString ReviewerID READ getReviewerID WRITE setReviewerID RESET resetReviewerID NOTIFY changedReviewerID)
    Q_CLASSINFO("ReviewerIDEditable", "true")
    Q_CLASSINFO("ReviewerIDNotVisible", "true")
    Q_CLASSINFO("ReviewerIDDefault", "")
    ZT_SETTING(QString, ReviewerID)

    Q_PROPERTY(QString ArchiveID READ getArchiveID WRITE setArchiveID RESET resetArchiveID NOTIFY changedArchiveID)
    Q_CLASSINFO("ArchiveIDEditable", "true")
    Q_CLASSINFO("ArchiveIDNotVisible", "true")
    Q_CLASSINFO("ArchiveIDDefault", "")
    ZT_SETTING(QString, ArchiveID)

    Q_PROPERTY(QDateTime ReviewDate READ getReviewDate WRITE setReviewDate RESET resetReviewDate NOTIFY changedReviewDate)
    Q_CLASSINFO("ReviewDateEditable", "true")
    Q_CLASSINFO("ReviewDateNotVisible", "true")
    Q_CLASSINFO("ReviewDateDefault", "QDateTime()")
    ZT_SETTING(QDateTime, ReviewDate)

    Q_PROPERTY(QDateTime ArchiveDate READ getArchiveDate WRITE setArchiveDate RESET resetArchiveDate NOTIFY changedArchiveDate)
    Q_CLASSINFO("ArchiveDateEditable", "true")
    Q_CLASSINFO("ArchiveDateNotVisible", "true")
    Q_CLASSINFO("ArchiveDateDefault", "QDateTime()")
    ZT_SETTING(QDateTime, ArchiveDate)

    Q_PROPERTY(int ReviewFlag READ getReviewFlag WRITE setReviewFlag RESET resetReviewFlag NOTIFY changedReviewFlag)
    Q_CLASSINFO("ReviewFlagEditable", "true")
    Q_CLASSINFO("ReviewFlagNotVisible", "true")
    Q_CLASSINFO("ReviewFlagDefault", "0")
    ZT_SETTING(int, ReviewFlag, 0)

    Q_PROPERTY(int ReportFlag READ getReportFlag WRITE setReportFlag RESET resetReportFlag NOTIFY changedReportFlag)
    Q_CLASSINFO("ReportFlagEditable", "true")
    Q_CLASSINFO("ReportFlagNotVisible", "true")
    Q_CLASSINFO("ReportFlagDefault", "0")
    ZT_SETTING(int, ReportFlag, 0)

    Q_PROPERTY(int ArchiveFlag READ getArchiveFlag WRITE setArchiveFlag RESET resetArchiveFlag NOTIFY changedArchiveFlag)
    Q_CLASSINFO("ArchiveFlagEditable", "true")
    Q_CLASSINFO("ArchiveFlagNotVisible", "true")
    Q_CLASSINFO("ArchiveFlagDefault", "0")
    ZT_SETTING(int, ArchiveFlag, 0)

    Q_PROPERTY(double Temperature READ getTemperature WRITE setTemperature RESET resetTemperature NOTIFY changedTemperature)
    Q_CLASSINFO("TemperatureEditable", "true")
    Q_CLASSINFO("TemperatureSuffix", "!-°C")
    Q_CLASSINFO("TemperaturePrecision", "1")
    Q_CLASSINFO("TemperatureDefault", "0")
    Q_CLASSINFO("TemperatureMinimum", "0")
    Q_CLASSINFO("TemperatureMaximum", "60")
    Q_CLASSINFO("TemperatureStep", "0.1")
    ZT_SETTING(double, Temperature, 0)

    Q_PROPERTY(QString Conditions READ getConditions WRITE setConditions RESET resetConditions NOTIFY changedConditions)
    Q_CLASSINFO("ConditionsEditable", "true")
    Q_CLASSINFO("ConditionsNoDefault", "true")
    Q_CLASSINFO("ConditionsDefault", "")
    ZT_SETTING(QString, Conditions)
    // clang-format on

public:
    // A new, unstored record; nothing of it is ever written.
    explicit Record(QObject *parent = nullptr);
    // The stored record with this RecordID, read with one statement. Without
    // an owner, the patient is looked up by the record's PatientID when the
    // file is first asked about.
    Record(int recordId, Database *database, Patient *owner, QObject *parent);
    ~Record() override;

    int getId() override { return m_RecordID; }
    QString idColumnName() const override;
    QString tableName() const override;
    // Adds RecordDate as yyyy/MM/dd HH:mm, Temperature with one decimal ("0"
    // below 0.1) and the computed Size of the recording's folder.
    QString getTextValue(const QString &name) override;

    // Where the recording lies and how large its folder is, found when first
    // asked for and kept until forgetFileFacts.
    bool fileExists() const { return fileFacts().exists; }
    qint64 folderSize() const { return fileFacts().size; }
    QString recordPath() const { return fileFacts().path; }
    QString folder() const { return fileFacts().folder; }
    // The patient's folder name has changed: the next question looks again.
    void forgetFileFacts();
    double temperatureMinimum() const { return 0; }
    double temperatureMaximum() const { return 60; }
    double temperatureStep() const { return 0.1; }

    // What the forms and tables show for records: column names and the computed Size.
    static DisplayTexts displayTexts();

    // Deletes the recording from disk, then its row. Only this recording is
    // ever deleted: its folder is cleared when it lies strictly inside the
    // patient's folder and no other record, of any patient, resolves into it;
    // otherwise the file alone is deleted; nothing outside the patient's folder
    // is touched, and a missing file leaves only the row to delete. False, with
    // the row kept, when the files cannot be deleted or the row cannot.
    bool remove();

private:
    friend class Database;

    struct FileFacts {
        bool exists = false;
        qint64 size = 0;
        QString path;
        QString folder;
        QString patientFolder;
    };
    const FileFacts &fileFacts() const;
    bool removeFiles();
    // Whether another record's file lies in recordDir, comparing canonical
    // paths; false in *known when the records could not be read.
    bool otherRecordInside(const QString &recordDir, const QString &patientDir, bool *known);

    mutable QPointer<Patient> owner;
    // Only for records whose file has been asked about.
    mutable std::unique_ptr<FileFacts> facts;
};
