#include "app/settingsdialog.h"

#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "db/storage/servercheck.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/util/apphelperdialogs.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMetaEnum>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QThread>
#include <QVBoxLayout>
#include <memory>

namespace
{

// Read once, at start-up (the server's wait too: the connection keeps the one it was opened with).
const char *const StartUpSettings[] = { "DataFolder", "ServerHost", "ServerPort", "ServerDatabase",
    "ServerUser", "ServerTlsMode", "ServerTimeoutSeconds" };

} // namespace

SettingsDialog::SettingsDialog(KestaSettings *settings, QWidget *parent)
    : QDialog(parent)
    , settings(settings)
    , note(new QLabel(this))
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(QCoreApplication::translate("Generic", "Settings"));
    setWindowIcon(MediaHelper::icon(QStringLiteral(":/icons/settings.svg")));

    note->setObjectName(QStringLiteral("languageRestartNote"));
    note->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    testButton = buttons->addButton(tr("&Test connection"), QDialogButtonBox::ActionRole);
    testButton->setObjectName(QStringLiteral("testConnection"));
    testButton->setToolTip(tr("Signs in to the server with the settings shown and says what it finds"));
    connect(testButton, &QPushButton::clicked, this, &SettingsDialog::testConnection);
    tested = new QLabel(this);
    tested->setObjectName(QStringLiteral("connectionTested"));
    tested->setWordWrap(true);
    tested->hide();

    auto *layout = new QVBoxLayout(this);
    auto *list = new PropertyListControl(settings, QString(), PropertyListControl::AllProperties, this);
    layout->addWidget(list, 1);
    layout->addWidget(note);
    layout->addWidget(tested);
    layout->addWidget(buttons);
    // Every setting in view at once where the screen allows, not a scrolling
    // slot of a third of them.
    if (QScrollArea *area = list->getScrollArea(); area && area->widget()) {
        const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        const int around = sizeHint().height() - area->sizeHint().height();
        const int wanted = around + area->widget()->sizeHint().height() + 2 * area->frameWidth();
        resize(sizeHint().width(), qMin(wanted, screen->availableGeometry().height() * 85 / 100));
    }
    for (const char *name : StartUpSettings)
        atStart.insert(QLatin1String(name), settings->getValue(QLatin1String(name)));
    acceptedDataFolder = settings->getDataFolder();
    connect(settings, &KestaSettings::changedDataFolder, this, &SettingsDialog::checkDataFolder);
    for (auto changed : { &KestaSettings::changedDataFolder, &KestaSettings::changedServerHost,
             &KestaSettings::changedServerDatabase, &KestaSettings::changedServerUser })
        connect(settings, changed, this, &SettingsDialog::noteNextStart);
    connect(settings, &KestaSettings::changedLanguage, this, &SettingsDialog::noteNextStart);
    connect(settings, &KestaSettings::changedServerPort, this, &SettingsDialog::noteNextStart);
    connect(settings, &KestaSettings::changedServerTlsMode, this, &SettingsDialog::noteNextStart);
    connect(settings, &KestaSettings::changedServerTimeoutSeconds, this, &SettingsDialog::noteNextStart);
    noteNextStart();
}

void SettingsDialog::checkDataFolder()
{
    const QString reason = DataLocations::unsuitableDataFolder(settings->getDataFolder());
    if (reason.isEmpty()) {
        acceptedDataFolder = settings->getDataFolder();
        return;
    }
    // Put back before the box, so that nothing reads the refused folder meanwhile.
    settings->setDataFolder(acceptedDataFolder);
    AppHelper::warningMessage(tr("This folder cannot be the data folder") + ":\n" + reason);
}

void SettingsDialog::noteNextStart()
{
    const char *chosen
        = QMetaEnum::fromType<KestaSettings::KestaLanguage>().valueToKey(settings->getLanguage());
    QStringList changed;
    if (QLatin1String(chosen) != LanguageContext::currentLanguage())
        changed << QCoreApplication::translate("Generic", "Language");
    for (auto it = atStart.cbegin(); it != atStart.cend(); ++it) {
        if (settings->getValue(it.key()) != it.value())
            changed << QCoreApplication::translate("Generic", it.key().toUtf8().constData());
    }
    changed.sort();
    note->setText(
        tr("Takes effect at the next start of the program: %1.").arg(changed.join(QStringLiteral(", "))));
    note->setVisible(!changed.isEmpty());
}

void SettingsDialog::testConnection()
{
    const DatabaseLocation location = settings->databaseLocation(QString());
    tested->show();
    if (location.backend != DatabaseLocation::Backend::Postgres) {
        tested->setText(tr("No server is set: the database is the file on this computer."));
        return;
    }
    tested->setText(tr("Connecting to %1…").arg(location.host));
    testButton->setEnabled(false);
    // The sign-in waits up to the timeout; the window stays usable meanwhile.
    auto result = std::make_shared<ServerCheck>();
    QThread *worker = QThread::create([location, result] { *result = ServerCheck::run(location); });
    connect(worker, &QThread::finished, this, [this, location, result] {
        tested->setText(result->text(location));
        testButton->setEnabled(true);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}
