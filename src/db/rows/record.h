#pragma once

#include "db/rows/abstractdatabaserow.h"
#include "toolkit/settings/displaytext.h"

#include <QDateTime>

// One row of the Records table: one recording of a patient, whose file lies
// in the patient's folder (FileName is relative to it; RecordingFiles knows
// the files).
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
    Q_CLASSINFO("PatientIDMaxLength", "16")
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
    Q_CLASSINFO("FileNameMaxLength", "128")
    Q_CLASSINFO("FileNameReadOnly", "true")
    Q_CLASSINFO("FileNameNoDefault", "true")
    Q_CLASSINFO("FileNameDefault", "")
    ZT_SETTING(QString, FileName)

    Q_PROPERTY(QString RecordType READ getRecordType WRITE setRecordType RESET resetRecordType NOTIFY changedRecordType)
    Q_CLASSINFO("RecordTypeEditable", "true")
    Q_CLASSINFO("RecordTypeMaxLength", "8")
    Q_CLASSINFO("RecordTypeDefault", "")
    ZT_SETTING(QString, RecordType)

    Q_PROPERTY(QString Comments READ getComments WRITE setComments RESET resetComments NOTIFY changedComments)
    Q_CLASSINFO("CommentsEditable", "true")
    Q_CLASSINFO("CommentsMaxLength", "64")
    Q_CLASSINFO("CommentsNoDefault", "true")
    Q_CLASSINFO("CommentsDefault", "")
    ZT_SETTING(QString, Comments)

    Q_PROPERTY(QString OperatorID READ getOperatorID WRITE setOperatorID RESET resetOperatorID NOTIFY changedOperatorID)
    Q_CLASSINFO("OperatorIDEditable", "true")
    Q_CLASSINFO("OperatorIDMaxLength", "16")
    Q_CLASSINFO("OperatorIDNotVisible", "true")
    Q_CLASSINFO("OperatorIDDefault", "")
    ZT_SETTING(QString, OperatorID)

    Q_PROPERTY(QString ReviewerID READ getReviewerID WRITE setReviewerID RESET resetReviewerID NOTIFY changedReviewerID)
    Q_CLASSINFO("ReviewerIDEditable", "true")
    Q_CLASSINFO("ReviewerIDMaxLength", "16")
    Q_CLASSINFO("ReviewerIDNotVisible", "true")
    Q_CLASSINFO("ReviewerIDDefault", "")
    ZT_SETTING(QString, ReviewerID)

    Q_PROPERTY(QString ArchiveID READ getArchiveID WRITE setArchiveID RESET resetArchiveID NOTIFY changedArchiveID)
    Q_CLASSINFO("ArchiveIDEditable", "true")
    Q_CLASSINFO("ArchiveIDMaxLength", "16")
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
    Q_CLASSINFO("ConditionsMaxLength", "64")
    Q_CLASSINFO("ConditionsNoDefault", "true")
    Q_CLASSINFO("ConditionsDefault", "")
    ZT_SETTING(QString, Conditions)
    // clang-format on

public:
    // A new, unstored record; nothing of it is ever written.
    explicit Record(QObject *parent = nullptr);
    // A record of the store whose values its reader fills in.
    Record(RowStore *store, QObject *parent);
    // The stored record with this RecordID, read with one statement.
    Record(int recordId, RowStore *store, QObject *parent);
    ~Record() override;

    int getId() override { return m_RecordID; }
    QString idColumnName() const override;
    QString tableName() const override;
    // Adds RecordDate as yyyy/MM/dd HH:mm and Temperature with one decimal
    // ("0" below 0.1).
    QString getTextValue(const QString &name) override;

    // What the forms and tables show for records: column names and the
    // computed Size of the recording's folder.
    static DisplayTexts displayTexts();
};
