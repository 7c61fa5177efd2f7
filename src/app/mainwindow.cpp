#include "app/mainwindow.h"

#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelper.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QMessageBox>
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

    // Views: patients table, patient card, records table, "New examination" button, splitter;
    // then the patients refresh, last patient selection and the menu bar.

    if (settings && settings->getStartMaximized())
        showMaximized();
    else
        show();

    // The exchange with the recorder starts here, before the pointer below is published.
    instance = this;

    // Card view submenu and placement, and the update check, come here.
    return true;
}

bool MainWindow::prepareDatabaseFile()
{
    switch (DataLocations::prepareDataFolders()) {
    case DataLocations::DatabaseFileState::Existed:
        return true;
    case DataLocations::DatabaseFileState::Created:
        AppHelper::warningMessage(tr("An empty database was created"), QString(), QMessageBox::Warning);
        return true;
    case DataLocations::DatabaseFileState::Failed:
        break;
    }
    AppHelper::warningMessage(tr("Error creating an empty database at") + ":\n"
            + QDir::toNativeSeparators(DataLocations::databaseFile()),
        QCoreApplication::translate("Generic", "Error"), QMessageBox::Critical);
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
                QMessageBox::Critical, { tr("Retry"), tr("Quit") }))
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
        QCoreApplication::translate("Generic", "Error"), QMessageBox::Warning);
}

void MainWindow::blockClosing()
{
    if (!closeBlockTimer) {
        closeBlockTimer = new QTimer(this);
        closeBlockTimer->setSingleShot(true);
        closeBlockTimer->setInterval(CloseBlockMs);
        connect(closeBlockTimer, &QTimer::timeout, this, [this] { closeBlocked = false; });
    }
    closeBlocked = true;
    closeBlockTimer->start();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    qDebug() << "CLOSE" << closeBlocked;
    if (closeBlocked) {
        event->ignore();
        return;
    }
    // The exchange stops here (its process monitor, then its server) and is forgotten.
    event->accept();
}
