#include "app/settingsdialog.h"

#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/util/apphelperdialogs.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMetaEnum>
#include <QVBoxLayout>

namespace
{

// Read once, at start-up.
const char *const StartUpSettings[]
    = { "DataFolder", "ServerHost", "ServerPort", "ServerDatabase", "ServerUser", "ServerTlsMode" };

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

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        new PropertyListControl(settings, QString(), PropertyListControl::AllProperties, this), 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
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
