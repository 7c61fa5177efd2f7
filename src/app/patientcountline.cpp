#include "app/patientcountline.h"

#include "app/tables/patientslistwidget.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QLineEdit>
#include <QTableView>

PatientCountLine::PatientCountLine(PatientsListWidget *patients, QWidget *parent)
    : QLabel(parent)
    , patients(patients)
    , note(new QLabel(tr("No patients match"), patients->grid()->viewport()))
{
    setObjectName(QStringLiteral("patientCount"));
    // Lined up with the search field and the list above it.
    setContentsMargins(8, 2, 8, 2);
    note->setObjectName(QStringLiteral("noPatientsMatch"));
    note->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    note->setWordWrap(true);
    note->hide();
    patients->grid()->viewport()->installEventFilter(this);

    // Whatever changes the rows shown (a reset, a reload, a filter) passes through the grid's model.
    const QAbstractItemModel *shown = patients->grid()->model();
    connect(shown, &QAbstractItemModel::modelReset, this, &PatientCountLine::scheduleRecount);
    connect(shown, &QAbstractItemModel::layoutChanged, this, &PatientCountLine::scheduleRecount);
    connect(shown, &QAbstractItemModel::rowsInserted, this, &PatientCountLine::scheduleRecount);
    connect(shown, &QAbstractItemModel::rowsRemoved, this, &PatientCountLine::scheduleRecount);
    connect(patients->searchField(), &QLineEdit::textChanged, this, &PatientCountLine::scheduleRecount);
    recount();
}

void PatientCountLine::scheduleRecount()
{
    // A reset or a filter moves many rows at once: counted once, after it.
    if (recountPending)
        return;
    recountPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            recountPending = false;
            recount();
        },
        Qt::QueuedConnection);
}

void PatientCountLine::recount()
{
    const int shown = patients->shownRowCount();
    const int total = patients->totalRowCount();
    const bool searching = !patients->filterText().trimmed().isEmpty();
    if (!searching)
        setText(tr("Patients: %1").arg(total));
    else if (shown > 0)
        setText(tr("Found: %1 of %2").arg(shown).arg(total));
    else
        setText(tr("No patients match"));
    note->setVisible(searching && shown == 0);
    placeNote();
}

void PatientCountLine::placeNote()
{
    const QWidget *viewport = patients->grid()->viewport();
    const int margin = fontMetrics().height();
    note->setGeometry(margin, margin, qMax(0, viewport->width() - 2 * margin), 3 * margin);
}

bool PatientCountLine::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == patients->grid()->viewport() && event->type() == QEvent::Resize)
        placeNote();
    return QLabel::eventFilter(watched, event);
}
