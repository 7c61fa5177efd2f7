#include "app/patientviewsdialog.h"

#include "app/rolegate.h"
#include "db/care/patientviews.h"
#include "db/rows/patient.h"
#include "db/storage/database.h"
#include "toolkit/i18n/datetext.h"
#include "toolkit/util/texthelper.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

PatientViewsDialog::PatientViewsDialog(Database *database, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Who opened patient cards"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setMinimumSize(760, 420);
    QList<PatientViews::View> views;
    QString reason;
    const bool read = PatientViews::read(database, &views, &reason);
    auto *table = new QTableWidget(views.size(), 5, this);
    table->setObjectName(QStringLiteral("patientViewsList"));
    table->setHorizontalHeaderLabels(
        { tr("When"), tr("Who"), tr("Workstation"), tr("Address"), tr("Patient") });
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < views.size(); ++row) {
        const PatientViews::View &view = views.at(row);
        const Patient *patient = database->patientById(int(view.patient));
        const QStringList cells { DateText::dateTime(view.viewedAt, true), TextHelper::visibleText(view.user),
            TextHelper::visibleText(view.workstation), view.address,
            patient ? TextHelper::visibleText(patient->fullName(true)) + " ("
                    + TextHelper::visibleText(patient->getPatientID()) + ")"
                    : QStringLiteral("#%1").arg(view.patient) };
        for (int column = 0; column < cells.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    table->resizeColumnsToContents();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QCoreApplication::translate("Generic", "Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    if (!read)
        layout->addWidget(new QLabel(tr("The notes cannot be read: %1").arg(reason), this));
    else if (views.isEmpty())
        layout->addWidget(new QLabel(tr("No card has been opened since the setting \"%1\" was turned on.")
                                         .arg(QCoreApplication::translate("Generic", "LogPatientViews")),
            this));
    layout->addWidget(table);
    layout->addWidget(buttons);
}

QAction *PatientViewsDialog::makeAction(Database *database, QWidget *window)
{
    auto *action = new QAction(tr("Who opened patient cards..."), window);
    action->setObjectName(QStringLiteral("actionPatientViews"));
    QObject::connect(action, &QAction::triggered, window, [database, window] {
        if (!RoleGate::permits(database, ServerRoles::Action::ReadPatientViews))
            return;
        PatientViewsDialog dialog(database, window);
        dialog.exec();
    });
    return action;
}
