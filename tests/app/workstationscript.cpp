// Linked into a build of the real entry function (kesta_workstation) that a test runs as one
// of several workstations, working by lines on standard input and output. It prints "ready" once its window
// is up and "patients: <IDs>" each time the patients table shows other patients, "committed <table>" after
// each write; "new <PatientID> <LastName>" creates a patient through the window's own New patient command and
// dialog.

#include "app/mainwindow.h"
#include "app/patientdialog.h"
#include "app/tables/patientslistwidget.h"
#include "db/storage/database.h"
#include "db/model/kestamodel.h"
#include "db/rows/patient.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <iostream>

namespace
{

// Each line ends with the clock's milliseconds, so that the test can tell how long a change took.
void say(const QString &line)
{
    std::fputs(
        (line + " @" + QString::number(QDateTime::currentMSecsSinceEpoch()) + '\n').toUtf8().constData(),
        stdout);
    std::fflush(stdout);
}

void reportPatients(PatientsListWidget *table)
{
    static QString last;
    QStringList ids;
    for (AbstractDatabaseRow *row : table->getRows()) {
        if (auto *patient = qobject_cast<Patient *>(row))
            ids << patient->getPatientID();
    }
    ids.sort();
    const QString line = "patients: " + ids.join(' ');
    if (line != last)
        say(line);
    last = line;
}

void createPatient(MainWindow *window, const QString &patientId, const QString &lastName)
{
    QTimer::singleShot(0, window, [patientId, lastName] {
        auto *dialog = qobject_cast<PatientDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return say("no dialog");
        dialog->copy()->setPatientID(patientId);
        dialog->copy()->setLastName(lastName);
        dialog->findChild<QPushButton *>("positive")->click();
    });
    window->findChild<QAction *>("actionNewPatient")->trigger();
    say("created " + patientId);
}

void follow(MainWindow *window)
{
    auto *table = window->findChild<PatientsListWidget *>();
    QAbstractItemModel *model = table->grid()->model();
    QObject::connect(model, &QAbstractItemModel::modelReset, table, [table] { reportPatients(table); });
    QObject::connect(model, &QAbstractItemModel::rowsInserted, table, [table] { reportPatients(table); });
    auto *input = new QSocketNotifier(0, QSocketNotifier::Read, window);
    QObject::connect(input, &QSocketNotifier::activated, window, [window, input] {
        std::string line;
        if (!std::getline(std::cin, line)) {
            input->setEnabled(false);
            return;
        }
        const QStringList words = QString::fromStdString(line).split(' ');
        if (words.size() == 3 && words.first() == "new")
            createPatient(window, words.at(1), words.at(2));
    });
    QObject::connect(KestaModel::Instance()->database(), &Database::changesCommitted, window,
        [](const QList<RowChange> &changes) { say("committed " + changes.first().table); });
    say("ready");
    reportPatients(table);
}

void script()
{
    auto *wait = new QTimer(qApp);
    QObject::connect(wait, &QTimer::timeout, wait, [wait] {
        if (MainWindow *window = MainWindow::Instance()) {
            wait->deleteLater();
            follow(window);
        }
    });
    wait->start(50);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(script)
