#include "app/mainwindow.h"

#include "toolkit/util/apphelper.h"

#include <QCloseEvent>
#include <QDebug>
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

    // Data folders and the empty database are made here, before anything shows data; when
    // the database cannot be created the program ends (false).

    // The colour theme is bound to the ColorTheme setting here.

    setWindowTitle(tr("Orvalis: database") + " " + AppHelper::appVersion(true));
    setMinimumSize(800, 600);

    // Views: patients table, patient card, records table, "New examination" button, splitter;
    // then the patients refresh, last patient selection and the menu bar.

    // Shown maximized when the StartMaximized setting is on.
    show();

    // The exchange with the recorder starts here, before the pointer below is published.
    instance = this;

    // Card view submenu and placement, and the update check, come here.
    return true;
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
