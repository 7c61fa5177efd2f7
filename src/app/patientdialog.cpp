#include "app/patientdialog.h"

#include "app/tables/patientslistwidget.h"
#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/patientidmatch.h"
#include "db/storage/patientstore.h"
#include "toolkit/settings/abstractmetadescription.h"
#include "toolkit/settings/basepropertyview.h"
#include "toolkit/settings/datefield.h"
#include "toolkit/settings/propertytabwidget.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/texthelper.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLabel>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

namespace
{

bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

int PatientDialog::editPatient(
    QWidget *parent, Patient *patient, Database *database, PatientsListWidget *patientsTable)
{
    if (!patient || !database)
        return 0;
    PatientDialog dialog(patient, database, parent);
    dialog.setPatientsTable(patientsTable);
    dialog.exec();
    return dialog.storedId();
}

PatientDialog::PatientDialog(Patient *patient, Database *database, QWidget *parent)
    : ConfirmDialog(parent,
        patient && patient->getId() > 0 ? QCoreApplication::translate("Generic", "Save")
                                        : QCoreApplication::translate("Generic", "Create"))
    , edited(patient ? patient->clone() : new Patient)
    , database(database)
    , patientId(patient ? patient->getId() : 0)
{
    setWindowTitle(isNew() ? QCoreApplication::translate("Generic", "Create patient")
                           : QCoreApplication::translate("Generic", "Edit patient"));
    if (!isNew()) {
        shown.reset(patient->clone());
        storedPatientId = patient->getPatientID();
        storedFolderName = patient->folderName();
    }
    if (database) {
        for (Patient *other : database->patients()) {
            if (!isNew() && other->getId() == patientId)
                continue;
            others.append({ other->getPatientID(), other->fullName(true), other->getLastName(),
                other->getFirstName(), other->getDOB(), other->folderName() });
        }
    }

    tabs = new PropertyTabWidget(edited.get(), this);
    addWidget(tabs, 100);
    errorLabel = new QLabel(this);
    errorLabel->setObjectName(QStringLiteral("patientErrors"));
    errorLabel->setStyleSheet(QStringLiteral("QLabel { color: #C30 }"));
    errorLabel->setTextFormat(Qt::RichText);
    errorLabel->setWordWrap(true);
    addWidget(errorLabel);
    duplicateLabel = new QLabel(this);
    duplicateLabel->setObjectName(QStringLiteral("patientDuplicate"));
    duplicateLabel->setStyleSheet(QStringLiteral("QLabel { color: #E70 }"));
    duplicateLabel->setTextFormat(Qt::PlainText);
    duplicateLabel->setWordWrap(true);
    duplicateLabel->hide();
    addWidget(duplicateLabel);
    setMinimumSize(400, 300);
    // Opens showing every tab title, the longest tab's rows and room for a few
    // messages, so that the form does not shrink as the user types.
    ensurePolished();
    const int titlesWidth = tabs->getTabWidget()->tabBar()->sizeHint().width() + 32;
    resize(std::max(sizeHint().width(), titlesWidth), sizeHint().height() + 3 * fontMetrics().lineSpacing());

    connect(edited.get(), &AbstractSettings::propertyChanged, this, &PatientDialog::validate);
    // A date typed wrong is not stored, so nothing may be saved as if it were.
    for (DateField *field : tabs->findChildren<DateField *>())
        connect(field, &DateField::impossibleChanged, this, &PatientDialog::validate);
    connect(this, &ConfirmDialog::accepted, this, [this](bool &accept) { accept = save(); });
    setAcceptEnabled(!isNew());
    showDuplicates();
}

PatientDialog::~PatientDialog() = default;

void PatientDialog::showEvent(QShowEvent *event)
{
    ConfirmDialog::showEvent(event);
    // The user came to type: the first field, not a button, has the keyboard.
    if (!event->spontaneous())
        tabs->setFocusAtFirst();
}

void PatientDialog::setPatientsTable(PatientsListWidget *table)
{
    patientsTable = table;
}

QStringList PatientDialog::problems() const
{
    QStringList lines;
    const QString id = edited->getPatientID();
    bool idRefused = id.trimmed().isEmpty();
    if (idRefused) {
        lines << QCoreApplication::translate("MainWindow", "Fill unique patient id");
    } else if (isNew() || id != storedPatientId) {
        // A kept identifier is never refused, even where an old file gave it to two patients.
        // Look-alikes are refused too: the recorder would file them under one ID.
        for (const OtherPatient &other : others) {
            if (PatientIdMatch::same(other.patientId, id)) {
                lines << QCoreApplication::translate("MainWindow", "This patient id is already used") + ": "
                        + TextHelper::visibleText(other.name) + " ("
                        + TextHelper::visibleText(other.patientId) + ")";
                idRefused = true;
                break;
            }
        }
    }
    if (edited->fullName(true).trimmed().isEmpty())
        lines << QCoreApplication::translate("MainWindow", "Fill patient name");

    // The recorder and the file system take the folder name as it is: it must stay
    // one folder of this patient's own. A stored name is only checked once it changes.
    const QString folder = edited->folderName();
    if (isNew() || folder != storedFolderName) {
        if (!DataLocations::isPlainFolderName(folder)) {
            lines << QCoreApplication::translate("MainWindow",
                "Patient id and names must not contain / \\ : * ? \" < > | or control characters");
        } else if (!idRefused) {
            for (const OtherPatient &other : others) {
                if (other.folderName.compare(folder, Qt::CaseInsensitive) == 0) {
                    lines << QCoreApplication::translate("MainWindow", "Another patient has the same folder:")
                            + QLatin1Char(' ') + TextHelper::visibleText(folder);
                    break;
                }
            }
        }
    }

    for (DateField *field : tabs->findChildren<DateField *>()) {
        const auto *view = qobject_cast<BasePropertyView *>(field->parentWidget());
        if (field->isImpossible() && view && view->getDescription()) {
            lines << QCoreApplication::translate("MainWindow", "%1: no such date")
                         .arg(QCoreApplication::translate(
                             "Generic", view->getDescription()->name.toUtf8().constData()));
        }
    }

    for (const auto &limit : edited->columnLimits()) {
        const QVariant value = edited->getValue(limit.first);
        // Enumerations are stored as one letter whatever their value.
        if (value.userType() == QMetaType::QString && value.toString().size() > limit.second) {
            lines << QCoreApplication::translate("MainWindow", "%1: at most %2 characters")
                         .arg(QCoreApplication::translate("Generic", limit.first.toUtf8().constData()))
                         .arg(limit.second);
        }
    }
    return lines;
}

void PatientDialog::validate()
{
    const QStringList lines = problems();
    QStringList html;
    for (const QString &line : lines)
        html << line.toHtmlEscaped();
    errorLabel->setText(html.join(QLatin1String("<br/>")));
    setAcceptEnabled(lines.isEmpty());
    showDuplicates();
}

void PatientDialog::showDuplicates()
{
    // A hint, never a refusal: two patients may share a name and a birthday.
    QStringList ids;
    const QDate birthDate = edited->getDOB();
    const QString lastName = edited->getLastName();
    const QString firstName = edited->getFirstName();
    if (birthDate.isValid() && !(lastName.trimmed().isEmpty() && firstName.trimmed().isEmpty())) {
        for (const OtherPatient &other : others) {
            if (other.birthDate == birthDate && sameName(other.lastName, lastName)
                && sameName(other.firstName, firstName))
                ids << (other.patientId.trimmed().isEmpty() ? QStringLiteral("—")
                                                            : TextHelper::visibleText(other.patientId));
        }
    }
    duplicateLabel->setText(ids.isEmpty()
            ? QString()
            : QCoreApplication::translate("MainWindow", "A patient with the same name and birth date exists:")
                + QLatin1Char(' ') + ids.join(QLatin1String(", ")));
    duplicateLabel->setVisible(!ids.isEmpty());
}

bool PatientDialog::save()
{
    if (!database)
        return false;
    PatientStore store(database);
    const PatientStore::Outcome outcome
        = isNew() ? store.create(edited.get()) : store.save(patientId, edited.get(), shown.get());
    if (!outcome.saved()) {
        showRefusal(isNew(), outcome.folderNotRenamed, outcome.refusal);
        return false;
    }
    savedId = outcome.autoId;
    if (isNew() && patientsTable) {
        // A table the window does not feed learns of the new row here: it
        // cannot select a row it does not show.
        if (!patientsTable->rowById(savedId))
            patientsTable->appendRow(database->patientById(savedId));
        patientsTable->setSelectedId(savedId, true);
    }
    return true;
}

void PatientDialog::showRefusal(bool creating, bool folderNotRenamed, const QString &reason)
{
    QString text = creating ? QCoreApplication::translate("MainWindow", "Error creating patient")
        : folderNotRenamed  ? QCoreApplication::translate("MainWindow", "Error renaming patient directory")
                            : QCoreApplication::translate("MainWindow", "The change was not saved");
    if (!reason.isEmpty())
        text += QStringLiteral(":\n") + reason;
    AppHelper::warningMessage(text, QString(), MessageBox::Warning);
}
