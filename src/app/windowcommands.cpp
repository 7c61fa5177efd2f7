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

// The character that follows a single "&", or a null character.
QChar mnemonicOf(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1).toLower();
        ++i;
    }
    return QChar();
}

} // namespace

WindowCommands::WindowCommands(
    QMainWindow *window, TableWidget *patientsTable, TableWidget *recordsTable, KestaSettings *settings)
    : QObject(window)
{
    QMenu *file = window->menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    addCommand(file, OpenRecord, QStringLiteral("actionOpenRecord"), tr("&Open record..."),
        QStringLiteral(":/icons/folder-open.svg"), { QKeySequence::Open });
    file->addSeparator();
    addCommand(file, NewPatient, QStringLiteral("actionNewPatient"), tr("&New patient"),
        QStringLiteral(":/icons/plus.svg"), { QKeySequence(Qt::CTRL + Qt::Key_N) });
    addCommand(file, EditPatient, QStringLiteral("actionEditPatient"), tr("&Edit patient"),
        QStringLiteral(":/icons/edit.svg"), { QKeySequence(Qt::CTRL + Qt::Key_E), QKeySequence(Qt::Key_F2) });
    addCommand(file, RemovePatient, QStringLiteral("actionRemovePatient"), tr("Re&move patient"),
        QStringLiteral(":/icons/delete.svg"), { QKeySequence(Qt::Key_Delete) });
    addCommand(file, NewExamination, QStringLiteral("actionNewExamination"), tr("New e&xamination"),
        QStringLiteral(":/icons/amplifier.svg"),
        { QKeySequence(Qt::CTRL + Qt::Key_Return), QKeySequence(Qt::CTRL + Qt::Key_Enter) });
    addCommand(file, ReloadDatabase, QStringLiteral("actionReloadDatabase"), tr("&Reload database"),
        QStringLiteral(":/icons/refresh.svg"), { QKeySequence(Qt::Key_F5) });
    file->addSeparator();
    addCommand(file, Settings, QStringLiteral("actionSettings"), tr("&Settings..."),
        QStringLiteral(":/icons/settings.svg"));
    addCommand(file, About, QStringLiteral("actionAbout"), tr("&About app"),
        QStringLiteral(":/icons/information.svg"));
    setPatientSelected(false);

    QMenu *view = window->menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    // Filled as they open, so that they offer exactly what the tables' header menus offer now.
    const auto addColumnMenu = [view](const QString &name, const QString &caption, TableWidget *table) {
        QMenu *columns = view->addMenu(caption);
        columns->setObjectName(name);
        connect(columns, &QMenu::aboutToShow, table, [table, columns] {
            table->fillColumnMenu(columns);
            addMnemonics(columns);
        });
    };
    addColumnMenu(QStringLiteral("menuPatientsTable"), tr("&Patients table"), patientsTable);
    addColumnMenu(QStringLiteral("menuRecordsTable"), tr("&Records table"), recordsTable);
    if (settings)
        addCardViewMenu(view, settings);
}

void WindowCommands::addCommand(QMenu *menu, Command command, const QString &name, const QString &caption,
    const QString &icon, const QList<QKeySequence> &keys)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcuts(keys);
    StyleHelper::Instance()->setMenuActionIcon(action, icon, MenuIconColor);
    actions.insert(command, action);
}

void WindowCommands::setPatientSelected(bool selected)
{
    for (Command command : { EditPatient, RemovePatient, NewExamination })
        actions.value(command)->setEnabled(selected);
}

void WindowCommands::addCardViewMenu(QMenu *view, KestaSettings *settings)
{
    QMenu *cardView = view->addMenu(tr("Patient &card view"));
    cardView->setObjectName(QStringLiteral("menuPatientCardView"));
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
    addMnemonics(cardView);
    connect(
        settings, &KestaSettings::changedPatientCardView, this, [this](int value) { checkCardView(value); });
    checkCardView(settings->getPatientCardView());
}

void WindowCommands::checkCardView(int view)
{
    for (QAction *action : cardViews->actions())
        action->setChecked(action->data().toInt() == view);
}

void WindowCommands::addMnemonics(QMenu *menu)
{
    const QList<QAction *> entries = menu->actions();
    QSet<QChar> used;
    QList<QAction *> waiting;
    for (QAction *action : entries) {
        const QChar taken = mnemonicOf(action->text());
        if (!taken.isNull())
            used.insert(taken.toLower());
        else if (!action->isSeparator() && action->isEnabled() && !action->text().isEmpty())
            waiting << action;
    }
    // The entry with the fewest free letters chooses first: in menu order, an
    // earlier entry could take the only letter a later one has.
    const auto freeLetters = [&used](const QString &text) {
        int count = 0;
        QSet<QChar> seen;
        for (const QChar c : text) {
            const QChar letter = c.toLower();
            if (letter.isLetter() && !used.contains(letter) && !seen.contains(letter)) {
                seen.insert(letter);
                ++count;
            }
        }
        return count;
    };
    while (!waiting.isEmpty()) {
        int chosen = 0;
        for (int i = 1; i < waiting.size(); ++i) {
            if (freeLetters(waiting.at(i)->text()) < freeLetters(waiting.at(chosen)->text()))
                chosen = i;
        }
        QAction *action = waiting.takeAt(chosen);
        const QString text = action->text();
        for (int i = 0; i < text.size(); ++i) {
            const QChar letter = text.at(i).toLower();
            if (letter.isLetter() && !used.contains(letter)) {
                used.insert(letter);
                action->setText(text.left(i) + QLatin1Char('&') + text.mid(i));
                break;
            }
        }
    }
}
