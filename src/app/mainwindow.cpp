#include "app/mainwindow.h"

#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelper.h"
#include "toolkit/util/clock.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QTimer>

namespace
{

constexpr int CloseBlockMs = 2000;
MainWindow *instance = nullptr;

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
}

MainWindow::~MainWindow()
{
    if (instance == this)
        instance = nullptr;
}

MainWindow *MainWindow::Instance()
{
    return instance;
}

bool MainWindow::initialize()
{
    if (initialized) {
        qDebug() << "Cannot load again";
        return false;
    }
    initialized = true;

    if (!prepareDatabaseFile() || !ensureDatabaseUsable())
        return false;
    watchRefusedWrites();

    KestaSettings *settings = KestaModel::Instance() ? KestaModel::Instance()->settings() : nullptr;
    if (settings)
        StyleHelper::InterlinkTheme(settings, QStringLiteral("ColorTheme"));

    setWindowTitle(tr("Orvalis: database") + " " + AppHelper::appVersion(true));
    setMinimumSize(800, 600);

    if (settings && settings->getStartMaximized())
        showMaximized();
    else
        show();

    instance = this;
    return true;
}

bool MainWindow::prepareDatabaseFile()
{
    switch (DataLocations::prepareDataFolders()) {
    case DataLocations::DatabaseFileState::Existed:
        return true;
    case DataLocations::DatabaseFileState::Created:
        AppHelper::warningMessage(tr("An empty database was created"), QString(), MessageBox::Warning);
        return true;
    case DataLocations::DatabaseFileState::Failed:
        break;
    }
    AppHelper::warningMessage(tr("Error creating an empty database at") + ":\n"
            + QDir::toNativeSeparators(DataLocations::databaseFile()),
        QCoreApplication::translate("Generic", "Error"), MessageBox::Critical);
    return false;
}

bool MainWindow::ensureDatabaseUsable()
{
    Database *database = KestaModel::Instance() ? KestaModel::Instance()->database() : nullptr;
    QString reason;
    while (database && !database->isUsable(&reason)) {
        const QString text = tr("The patient database cannot be used") + ":\n"
            + QDir::toNativeSeparators(database->filePath()) + "\n\n" + reason;
        if (!AppHelper::confirmDialog(QCoreApplication::translate("Generic", "Error"), text,
                MessageBox::Critical, { tr("Retry"), tr("Quit") }))
            return false;
    }
    return true;
}

void MainWindow::watchRefusedWrites()
{
    Database *database = KestaModel::Instance() ? KestaModel::Instance()->database() : nullptr;
    if (!database)
        return;
    connect(database, &Database::writeFailed, this, [this](const QString &column, const QString &reason) {
        // An edit that saves several fields may have several refused: one box.
        if (refusedWrites.isEmpty())
            QTimer::singleShot(0, this, &MainWindow::showRefusedWrites);
        refusedWrites.append(
            QCoreApplication::translate("Generic", column.toUtf8().constData()) + ": " + reason);
    });
}

void MainWindow::showRefusedWrites()
{
    const QStringList lines = refusedWrites;
    refusedWrites.clear();
    AppHelper::warningMessage(tr("The change was not saved") + ":\n" + lines.join('\n'),
        QCoreApplication::translate("Generic", "Error"), MessageBox::Warning);
}

void MainWindow::blockClosing()
{
    closeBlockedUntil = Clock::msecsSinceEpoch() + CloseBlockMs;
}

bool MainWindow::isCloseBlocked() const
{
    return Clock::msecsSinceEpoch() < closeBlockedUntil;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    const bool blocked = isCloseBlocked();
    qDebug() << "CLOSE" << blocked;
    if (blocked) {
        event->ignore();
        return;
    }
    // The exchange stops here (its process monitor, then its server) and is forgotten.
    event->accept();
}
