#include "app/mainwindow.h"

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

    if (!prepareDatabaseFile())
        return false;

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
