#include "app/windowcommands.h"

#include "app/tables/tablewidget.h"
#include "db/model/kestasettings.h"
#include "toolkit/style/stylehelper.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaEnum>
#include <QSet>

namespace
{

const QString MenuIconColor = QStringLiteral("#FFF");

// Where an entry sits: its menu, its group there (a separator between groups, in the order
// of the table), its shortcuts, and the class that makes it and answers it.
struct Placement {
    const char *menu;
    int group;
    const char *entry; // the action's object name, or a submenu's
    const char *madeBy;
    QList<QKeySequence> keys;
};

const QList<Placement> &placements()
{
    static const QList<Placement> table {
        { "menuFile", 0, "actionOpenRecord", "RecordCommands", { QKeySequence::Open } },
        { "menuFile", 1, "actionNewPatient", "MainWindow", { QKeySequence(Qt::CTRL + Qt::Key_N) } },
        { "menuFile", 1, "actionEditPatient", "MainWindow",
            { QKeySequence(Qt::CTRL + Qt::Key_E), QKeySequence(Qt::Key_F2) } },
        { "menuFile", 1, "actionRemovePatient", "MainWindow", { QKeySequence(Qt::Key_Delete) } },
        { "menuFile", 1, "actionNewExamination", "MainWindow",
            { QKeySequence(Qt::CTRL + Qt::Key_Return), QKeySequence(Qt::CTRL + Qt::Key_Enter) } },
        { "menuFile", 1, "actionReloadDatabase", "MainWindow", { QKeySequence(Qt::Key_F5) } },
        { "menuFile", 1, "actionImport", "ImportDialog", {} },
        { "menuFile", 1, "actionCopyDatabaseToServer", "DatabaseCopyCommand", {} }, // on a server
        { "menuFile", 1, "actionRecentlyRemoved", "RemovalCommands", {} },
        { "menuFile", 1, "actionPatientViews", "PatientViewsDialog", {} },
        { "menuFile", 2, "actionBackUp", "BackupCommands", {} },
        { "menuFile", 2, "actionRestore", "BackupCommands", {} },
        { "menuFile", 2, "actionExportPatients", "ExportCommands", {} },
        { "menuFile", 3, "actionPrint", "PrintCommands", { QKeySequence::Print } },
        { "menuFile", 3, "actionExportPdf", "PrintCommands", {} },
        { "menuFile", 3, "actionPrintList", "PrintCommands", {} },
        { "menuFile", 3, "actionExportListPdf", "PrintCommands", {} },
        { "menuFile", 4, "actionSettings", "MainWindow", {} },
        { "menuFile", 4, "actionAbout", "MainWindow", {} },
        { "menuFile", 5, "actionQuit", "WindowCommands", { QKeySequence(Qt::CTRL + Qt::Key_Q) } },
        { "menuView", 0, "menuPatientsTable", "PatientsListWidget", {} },
        { "menuView", 0, "menuRecordsTable", "RecordsTable", {} },
        { "menuView", 0, "menuPatientCardView", "WindowCommands", {} }, // with settings
        { "menuView", 0, "actionRecordingPreview", "RecordCommands", {} },
    };
    return table;
}

const Placement *placementOf(const QString &entry)
{
    for (const Placement &placement : placements()) {
        if (entry == QLatin1String(placement.entry))
            return &placement;
    }
    return nullptr;
}

// The index of the character after the text's single "&", or -1.
int mnemonicAt(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return i + 1;
        ++i;
    }
    return -1;
}

// The letters of text a mnemonic can take, in order, lower case ("&&" is a plain "&").
QList<QChar> lettersOf(const QString &text)
{
    QList<QChar> letters;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&'))
            ++i;
        else if (text.at(i).isLetter())
            letters << text.at(i).toLower();
    }
    return letters;
}

} // namespace

const char *const WindowCommands::HeadingProperty = "menuHeading";

WindowCommands::WindowCommands(
    QMainWindow *window, TableWidget *patientsTable, TableWidget *recordsTable, KestaSettings *settings)
    : QObject(window)
    , window(window)
{
    for (const auto &menu : { qMakePair(QStringLiteral("menuFile"), tr("&File")),
             qMakePair(QStringLiteral("menuView"), tr("&View")) }) {
        QMenu *added = window->menuBar()->addMenu(menu.second);
        added->setObjectName(menu.first);
        menus.insert(menu.first, added);
    }
    makeCommand(OpenRecord, QStringLiteral("actionOpenRecord"), tr("&Open record..."),
        QStringLiteral(":/icons/folder-open.svg"));
    makeCommand(NewPatient, QStringLiteral("actionNewPatient"), tr("&New patient"), QStringLiteral(":/icons/plus.svg"));
    makeCommand(
        EditPatient, QStringLiteral("actionEditPatient"), tr("&Edit patient"), QStringLiteral(":/icons/edit.svg"));
    makeCommand(RemovePatient, QStringLiteral("actionRemovePatient"), tr("Re&move patient"),
        QStringLiteral(":/icons/delete.svg"));
    makeCommand(NewExamination, QStringLiteral("actionNewExamination"), tr("New e&xamination"),
        QStringLiteral(":/icons/amplifier.svg"));
    makeCommand(ReloadDatabase, QStringLiteral("actionReloadDatabase"), tr("&Reload database"),
        QStringLiteral(":/icons/refresh.svg"));
    makeCommand(Settings, QStringLiteral("actionSettings"), tr("&Settings..."), QStringLiteral(":/icons/settings.svg"));
    makeCommand(About, QStringLiteral("actionAbout"), tr("&About app"), QStringLiteral(":/icons/information.svg"));
    makeCommand(Quit, QStringLiteral("actionQuit"), tr("&Quit"), QStringLiteral(":/icons/circle_cross.svg"));
    // As the window's close button: refused while a removal is being finished.
    connect(actions.value(Quit), &QAction::triggered, window, &QWidget::close);
    setPatientSelected(false);

    addColumnMenu(QStringLiteral("menuPatientsTable"), tr("&Patients table"), patientsTable);
    addColumnMenu(QStringLiteral("menuRecordsTable"), tr("&Records table"), recordsTable);
    if (settings)
        makeCardViewMenu(settings);
    place();
}

void WindowCommands::makeCommand(Command command, const QString &name, const QString &caption, const QString &icon)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    StyleHelper::Instance()->setMenuActionIcon(action, icon, MenuIconColor);
    actions.insert(command, action);
    provide(action);
}

void WindowCommands::provide(QAction *action)
{
    if (!action)
        return;
    const Placement *placement = placementOf(action->objectName());
    if (!placement) {
        qWarning("The menus have no place for %s", qPrintable(action->objectName()));
        return;
    }
    if (!placement->keys.isEmpty())
        action->setShortcuts(placement->keys);
    entries.insert(action->objectName(), action);
}

void WindowCommands::place()
{
    for (QMenu *menu : qAsConst(menus))
        menu->clear();
    QHash<QMenu *, int> groups;
    for (const Placement &placement : placements()) {
        QMenu *menu = menus.value(QLatin1String(placement.menu));
        QAction *entry = entries.value(QLatin1String(placement.entry));
        if (!menu || !entry)
            continue;
        if (groups.contains(menu) && groups.value(menu) != placement.group)
            menu->addSeparator();
        groups.insert(menu, placement.group);
        menu->addAction(entry);
    }
    addMnemonics(window->menuBar());
    for (QAction *entry : qAsConst(entries)) {
        if (entry->menu())
            addMnemonics(entry->menu());
    }
    for (QMenu *menu : qAsConst(menus))
        addMnemonics(menu);
}

// Filled as it opens, so that it offers exactly what the table's header menu offers now.
QMenu *WindowCommands::addColumnMenu(const QString &name, const QString &caption, TableWidget *table)
{
    auto *columns = new QMenu(caption, menus.value(QStringLiteral("menuView")));
    columns->setObjectName(name);
    columns->menuAction()->setObjectName(name);
    connect(columns, &QMenu::aboutToShow, table, [table, columns] {
        table->fillColumnMenu(columns);
        addMnemonics(columns);
    });
    provide(columns->menuAction());
    return columns;
}

void WindowCommands::setPatientSelected(bool selected)
{
    for (Command command : { EditPatient, RemovePatient, NewExamination })
        actions.value(command)->setEnabled(selected);
}

QMenu *WindowCommands::makeCardViewMenu(KestaSettings *settings)
{
    auto *cardView = new QMenu(tr("Patient &card view"), menus.value(QStringLiteral("menuView")));
    cardView->setObjectName(QStringLiteral("menuPatientCardView"));
    cardView->menuAction()->setObjectName(cardView->objectName());
    cardViews = new QActionGroup(cardView);
    cardViews->setExclusive(true);
    const QMetaEnum views = QMetaEnum::fromType<KestaSettings::ViewPatientCard>();
    for (int i = 0; i < views.keyCount(); ++i) {
        const auto value = static_cast<KestaSettings::ViewPatientCard>(views.value(i));
        QAction *action = cardView->addAction(QCoreApplication::translate("ViewPatientCard", views.key(i)));
        action->setObjectName(QStringLiteral("actionCardView_") + QLatin1String(views.key(i)));
        action->setCheckable(true);
        action->setData(int(value));
        action->setActionGroup(cardViews);
        connect(action, &QAction::triggered, settings,
            [settings, value] { settings->setPatientCardView(value); });
    }
    connect(
        settings, &KestaSettings::changedPatientCardView, this, [this](int value) { checkCardView(value); });
    checkCardView(settings->getPatientCardView());
    provide(cardView->menuAction());
    return cardView;
}

void WindowCommands::checkCardView(int view)
{
    for (QAction *action : cardViews->actions())
        action->setChecked(action->data().toInt() == view);
}

void WindowCommands::addMnemonics(QWidget *menu)
{
    struct Entry {
        QAction *action;
        QString plain; // without its mnemonic
        QChar wish; // the translator's mnemonic
    };
    QList<Entry> waiting;
    QHash<QChar, int> wishes;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator() || action->text().isEmpty() || action->property(HeadingProperty).toBool())
            continue;
        const QString text = action->text();
        const int at = mnemonicAt(text);
        const QChar wish = at < 0 ? QChar() : text.at(at).toLower();
        waiting.append({ action, at < 0 ? text : text.left(at - 1) + text.mid(at), wish });
        if (wish.isLetter())
            ++wishes[wish];
    }
    QSet<QChar> used;
    // A wish no other entry shares is granted first.
    for (int i = waiting.size() - 1; i >= 0; --i) {
        if (waiting.at(i).wish.isLetter() && wishes.value(waiting.at(i).wish) == 1)
            used.insert(waiting.takeAt(i).wish);
    }
    const auto freeLetters = [&used](const Entry &entry) {
        QSet<QChar> free;
        for (const QChar letter : lettersOf(entry.plain)) {
            if (!used.contains(letter))
                free.insert(letter);
        }
        return free.size();
    };
    // The entry with the fewest free letters chooses next: in menu order, an earlier
    // entry could take the only letter a later one has.
    while (!waiting.isEmpty()) {
        int chosen = 0;
        for (int i = 1; i < waiting.size(); ++i) {
            if (freeLetters(waiting.at(i)) < freeLetters(waiting.at(chosen)))
                chosen = i;
        }
        const Entry entry = waiting.takeAt(chosen);
        const QString &text = entry.plain;
        int pick = -1;
        for (int i = 0; i < text.size(); ++i) {
            if (text.at(i) == QLatin1Char('&')) {
                ++i;
                continue;
            }
            const QChar letter = text.at(i).toLower();
            if (!letter.isLetter() || used.contains(letter))
                continue;
            if (pick < 0 || letter == entry.wish)
                pick = i;
            if (letter == entry.wish)
                break;
        }
        if (pick < 0) {
            entry.action->setText(text);
            continue;
        }
        used.insert(text.at(pick).toLower());
        entry.action->setText(text.left(pick) + QLatin1Char('&') + text.mid(pick));
    }
}
