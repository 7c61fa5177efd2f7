#include "app/tables/patientslistwidget.h"

#include "app/tables/tablegrid.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/texthelper.h"

#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

PatientsListWidget::PatientsListWidget(KestaSettings *settings, QWidget *parent)
    : TableWidget(parent)
    , settings(settings)
    , search(new QLineEdit(this))
{
    setObjectName(QStringLiteral("patientsTable"));
    search->setObjectName(QStringLiteral("patientsSearchField"));
    search->setPlaceholderText(tr("Search patients"));
    search->setAccessibleName(tr("Search patients"));
    search->setAccessibleDescription(tr("Names, ID or birth date; Ctrl+F"));
    grid()->setAccessibleName(tr("Patients"));
    StyleHelper::DimPlaceholder(search);
    search->setClearButtonEnabled(true);
    search->installEventFilter(this);
    // A hundred thousand patients' texts take longer than a quick hand from
    // the focus to the first key.
    readSearchTextsAhead();
    addAboveGrid(search);
    connect(search, &QLineEdit::textChanged, this, &TableWidget::setFilterText);
    // An empty list says how to fill it, or why it is empty.
    const auto sayWhyEmpty = [this](const QString &typed) {
        static_cast<TableGrid *>(grid())->setEmptyText(typed.trimmed().isEmpty()
                ? tr("No patients yet. Add the first one with File, New patient (Ctrl+N).")
                : tr("No patient matches the search. Escape clears it."));
    };
    sayWhyEmpty(QString());
    connect(search, &QLineEdit::textChanged, this, sayWhyEmpty);
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, search, [this] {
        search->setFocus(Qt::ShortcutFocusReason);
        search->selectAll();
    });

    if (!settings)
        return;
    // Queued: the column menu that caused the change has closed before the
    // grid it belongs to is rebuilt.
    connect(
        settings, &KestaSettings::changedPatientsTableColumns, this, [this] { updateTable(); },
        Qt::QueuedConnection);
    connect(this, &TableWidget::headerColumnsUpdated, settings, [settings](const QStringList &names) {
        settings->setPatientsTableColumns(names.join(QLatin1Char(';')));
    });
    connect(this, &TableWidget::sortingUpdated, settings,
        [settings](const QString &sorting) { settings->setPatientsTableSorting(sorting); });
}

QList<TableColumn> PatientsListWidget::availableColumns()
{
    const int left = Qt::AlignLeft;
    const int right = Qt::AlignRight;
    const QString name = QStringLiteral("name");
    return {
        TableColumn(QStringLiteral("FullName"), QHeaderView::Stretch, left, name),
        TableColumn(QStringLiteral("LastName"), QHeaderView::Stretch, left, name),
        TableColumn(QStringLiteral("Initials"), QHeaderView::Stretch, left, name),
        TableColumn(QStringLiteral("PatientID"), QHeaderView::ResizeToContents, left),
        TableColumn(QStringLiteral("Age"), QHeaderView::Fixed, right),
        TableColumn(QStringLiteral("LastVisit"), QHeaderView::Fixed, left),
        TableColumn(QStringLiteral("FirstVisit"), QHeaderView::Fixed, left),
        TableColumn(QStringLiteral("DOB"), QHeaderView::Fixed, left),
        TableColumn(QStringLiteral("Sex"), QHeaderView::ResizeToContents, left),
    };
}

QStringList PatientsListWidget::savedColumns()
{
    return settings ? settings->getPatientsTableColumns().split(QLatin1Char(';')) : QStringList();
}

QString PatientsListWidget::savedSorting()
{
    return settings ? settings->getPatientsTableSorting() : QString();
}

QIcon PatientsListWidget::rowIcon(AbstractDatabaseRow *row)
{
    auto *patient = qobject_cast<Patient *>(row);
    if (!patient)
        return QIcon();
    // On a selected row the icon takes the selection's text colour: the style's
    // tint would fade it into the highlight, which in the dark theme is the male
    // icon's own colour. One set per theme, shared by every patients table.
    static QHash<QString, QIcon> sexIcons;
    const int sex = patient->getSex();
    const QString selected = StyleHelper::ThemeValue(QStringLiteral("--z-text"), QStringLiteral("#000"));
    const QString key = QString::number(sex) + selected;
    auto found = sexIcons.constFind(key);
    if (found != sexIcons.constEnd())
        return found.value();

    static const QHash<int, QPair<QString, QString>> looks {
        { Patient::Gender_Unspecified, { QStringLiteral("gender-unspecified"), QStringLiteral("#999") } },
        { Patient::Gender_Male, { QStringLiteral("gender-male"), QStringLiteral("#159") } },
        { Patient::Gender_Female, { QStringLiteral("gender-female"), QStringLiteral("#915") } },
    };
    QIcon icon;
    if (looks.contains(sex)) {
        const QString path = QStringLiteral(":/resources/images/%1.svg").arg(looks.value(sex).first);
        const QString black = QStringLiteral("#000");
        icon = MediaHelper::iconColored(path, looks.value(sex).second, black);
        const QIcon onSelection = MediaHelper::iconColored(path, selected, black);
        for (const QSize &size : onSelection.availableSizes())
            icon.addPixmap(onSelection.pixmap(size), QIcon::Selected);
    }
    sexIcons.insert(key, icon);
    return icon;
}

QString PatientsListWidget::rowIconText(AbstractDatabaseRow *row)
{
    auto *patient = qobject_cast<Patient *>(row);
    if (!patient)
        return QString();
    switch (patient->getSex()) {
    case Patient::Gender_Male:
        return tr("Male");
    case Patient::Gender_Female:
        return tr("Female");
    default:
        return tr("Sex not given");
    }
}

void PatientsListWidget::setPatients(const QList<Patient *> &patients)
{
    QList<AbstractDatabaseRow *> list;
    list.reserve(patients.size());
    for (Patient *patient : patients)
        list.append(patient);
    setRows(list);
}

Patient *PatientsListWidget::selectedPatient() const
{
    return qobject_cast<Patient *>(getSelectedRow());
}

QString PatientsListWidget::cellText(AbstractDatabaseRow *row, const QString &column)
{
    // Typed by people and read by people: a name or ID must not be able to
    // hide characters or turn the text around.
    auto *patient = qobject_cast<Patient *>(row);
    if (patient && column == QLatin1String("PatientID"))
        return TextHelper::visibleText(patient->getPatientID());
    if (patient && column == QLatin1String("LastName"))
        return TextHelper::visibleText(patient->getLastName());
    if (patient && column == QLatin1String("Sex"))
        return patient->getSex() == Patient::Gender_Unspecified ? QString() : rowIconText(patient);
    const QString text = row->getTextValue(column);
    if (column == QLatin1String("FullName") || column == QLatin1String("Initials"))
        return TextHelper::visibleText(text);
    // An unknown age reads "-".
    if (column == QLatin1String("Age") && text == QLatin1String("-1"))
        return QStringLiteral("-");
    return text;
}

QVariant PatientsListWidget::sortValue(AbstractDatabaseRow *row, const QString &column)
{
    // An unknown age (-1) comes first, as its "-" did; the visits are those shown, from the records.
    auto *patient = qobject_cast<Patient *>(row);
    if (patient && column == QLatin1String("Age"))
        return patient->age();
    if (patient && column == QLatin1String("FirstVisit"))
        return patient->firstVisit();
    if (patient && column == QLatin1String("LastVisit"))
        return patient->lastVisit();
    return TableWidget::sortValue(row, column);
}

QString PatientsListWidget::searchText(AbstractDatabaseRow *row)
{
    auto *patient = qobject_cast<Patient *>(row);
    if (!patient)
        return TableWidget::searchText(row);
    // Built for ten thousand patients at the first keystroke, so written into
    // one text: the names and the ID as the table shows them, and the birth
    // date as the card shows it and as tables show dates.
    QString text;
    text.reserve(128);
    for (const QString &part : { patient->getLastName(), patient->getFirstName(), patient->getMiddleName(),
             patient->getPatientID() }) {
        text += TextHelper::visibleText(part);
        text += QLatin1Char('\n');
    }
    const QDate born = patient->getDOB();
    if (born.isValid()) {
        // Written digit by digit: a formatted print for each of a hundred
        // thousand patients doubled the time.
        const auto digits = [&text](int number, int width) {
            QChar buffer[4];
            for (int i = width - 1; i >= 0; --i, number /= 10)
                buffer[i] = QLatin1Char(char('0' + number % 10));
            text.append(buffer, width);
        };
        int year = 0, month = 0, day = 0;
        born.getDate(&year, &month, &day);
        year = year > 0 && year < 10000 ? year : 0;
        digits(day, 2);
        text += QLatin1Char('.');
        digits(month, 2);
        text += QLatin1Char('.');
        digits(year, 4);
        text += QLatin1Char('\n');
        digits(year, 4);
        text += QLatin1Char('/');
        digits(month, 2);
        text += QLatin1Char('/');
        digits(day, 2);
    }
    return text;
}

bool PatientsListWidget::eventFilter(QObject *watched, QEvent *event)
{
    // Ten thousand search texts are read while the user reaches for the keys,
    // not at the first of them.
    if (watched == search && event->type() == QEvent::FocusIn)
        prepareSearchTexts();
    if (watched == search && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && !search->text().isEmpty()) {
        search->clear();
        return true;
    }
    return TableWidget::eventFilter(watched, event);
}
