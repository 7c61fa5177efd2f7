#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>

class Database;

// Who opened which patient's card, when the clinic asks for it (the setting
// LogPatientViews): at most one note per patient, workstation and ten
// minutes, in the table PatientViews. On a server the server writes the note
// (its clock, the signed-in login, the client's address) and only the
// administrator may read them.
class PatientViews
{
    Q_DECLARE_TR_FUNCTIONS(PatientViews)
public:
    static constexpr int QuietSeconds = 600;

    struct View {
        QDateTime viewedAt;
        QString user;
        QString workstation;
        QString address;
        qint64 patient = 0;
    };

    // Notes that the patient's card was opened at this workstation, unless it
    // was noted there less than QuietSeconds ago. False with the reason when
    // the note could not be written.
    static bool note(Database *database, int autoId, const QString &workstation, QString *reason = nullptr);
    // Every note, newest first.
    static bool read(Database *database, QList<View> *views, QString *reason = nullptr);
};
