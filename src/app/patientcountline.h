#pragma once

#include <QLabel>

class PatientsListWidget;

// The status line's count of patients: "Patients: 12", while a search narrows the list
// "Found: 3 of 12", and "No patients match" when it leaves none, which the empty list then
// says too, so that an empty table never reads as patients gone.
class PatientCountLine : public QLabel
{
    Q_OBJECT
public:
    explicit PatientCountLine(PatientsListWidget *patients, QWidget *parent = nullptr);

    // The note shown inside the empty list.
    QLabel *emptyListNote() const { return note; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void recount();
    void scheduleRecount();
    void placeNote();

    PatientsListWidget *patients;
    QLabel *note;
    bool recountPending = false;
};
