#include "app/settingsdialog.h"

#include "db/model/kestasettings.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/style/mediahelper.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMetaEnum>
#include <QVBoxLayout>

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
    note->setText(tr("The interface language changes at the next start of the program."));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        new PropertyListControl(settings, QString(), PropertyListControl::AllProperties, this), 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
    connect(settings, &KestaSettings::changedLanguage, this, &SettingsDialog::followLanguage);
    followLanguage();
}

void SettingsDialog::followLanguage()
{
    const char *chosen
        = QMetaEnum::fromType<KestaSettings::KestaLanguage>().valueToKey(settings->getLanguage());
    note->setVisible(QLatin1String(chosen) != LanguageContext::currentLanguage());
}
