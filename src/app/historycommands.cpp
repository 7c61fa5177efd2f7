#include "app/historycommands.h"

#include "app/historydialog.h"
#include "db/care/changehistory.h"
#include "db/rows/patient.h"
#include "toolkit/util/apphelperdialogs.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

HistoryCommands::HistoryCommands(Database *database, QWidget *window)
    : QObject(window)
    , database(database)
    , window(window)
    , action(new QAction(tr("History..."), this))
{
    action->setObjectName(QStringLiteral("actionPatientHistory"));
    connect(action, &QAction::triggered, this, [this] {
        if (currentPatient)
            showHistory(currentPatient());
    });
}

void HistoryCommands::offerOn(QWidget *card, std::function<Patient *()> current)
{
    currentPatient = std::move(current);
    card->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(card, &QWidget::customContextMenuRequested, this, [this, card](const QPoint &pos) {
        action->setEnabled(currentPatient && currentPatient());
        QMenu menu(card);
        menu.addAction(action);
        menu.exec(card->mapToGlobal(pos));
    });
}

void HistoryCommands::showHistory(Patient *patient)
{
    if (!patient)
        return;
    QList<ChangeHistory::Entry> entries;
    QString reason;
    if (!ChangeHistory::entriesOfPatient(database, patient->getId(), &entries, &reason)) {
        AppHelper::warningMessage(tr("The history cannot be read") + ":\n" + reason);
        return;
    }
    HistoryDialog dialog(patient->fullName(true), entries, window);
    dialog.exec();
}
