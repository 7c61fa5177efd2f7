#include "app/aboutbox.h"

#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/update/newversionbutton.h"
#include "toolkit/util/aboutwidget.h"
#include "toolkit/util/apphelper.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

const char *const Maker = QT_TRANSLATE_NOOP("Generic", "Talvena");

QList<AboutWidget::Author> authors()
{
    return {
        { QStringLiteral("Ilona Varga"), QStringLiteral("2021–2024") },
        { QStringLiteral("Teodor Lamm"), QStringLiteral("2023–2024") },
        { QStringLiteral("Saule Brant"), QStringLiteral("2024") },
    };
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

AboutBox::AboutBox(KestaSettings *settings, QWidget *parent)
    : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(QCoreApplication::translate("Generic", "About app"));
    setWindowIcon(MediaHelper::icon(QStringLiteral(":/icons/information.svg")));

    // Rich text: the application's style sheet decides fonts, so a bold font set here would not show.
    auto *title
        = new QLabel(QStringLiteral("<b><big>%1</big></b>")
                         .arg(QCoreApplication::translate("MainWindow", "Orvalis: database").toHtmlEscaped()),
            this);

    auto *facts = new QFormLayout;
    facts->setContentsMargins(0, 8, 0, 0);
    facts->setLabelAlignment(Qt::AlignLeft);
    facts->setVerticalSpacing(6);
    const auto addFact = [this, facts](const QString &name, const QString &caption, const QString &value,
                             QWidget *beside = nullptr) {
        auto *label = new QLabel(value, this);
        label->setObjectName(name);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->setCursor(Qt::IBeamCursor);
        if (!beside) {
            facts->addRow(caption + QLatin1Char(':'), label);
            return;
        }
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(label);
        row->addWidget(beside);
        row->addStretch(1);
        facts->addRow(caption + QLatin1Char(':'), row);
    };
    // The download button, shown only while the version service offers a newer release, stands
    // beside the version it replaces; on a row of its own it left a gap above the facts.
    addFact(QStringLiteral("version"), tr("Program version"), AppHelper::appVersion(true),
        new NewVersionButton(QString(), QString(), this));
    addFact(QStringLiteral("qt"), tr("Qt version"), QString::fromLatin1(qVersion()));
    addFact(QStringLiteral("dataFolder"), tr("Data folder"), nativePath(DataLocations::dataFolder()));
    addFact(QStringLiteral("databaseFile"), tr("Database file"), nativePath(DataLocations::databaseFile()));
    if (settings)
        addFact(QStringLiteral("settingsFile"), tr("Settings file"), nativePath(settings->getFilepath()));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(new AboutWidget(QString::fromLatin1(Maker), authors(), webAddress(), this));
    layout->addLayout(facts);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QCoreApplication::translate("Generic", "Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutBox::webAddress()
{
    return QStringLiteral(KESTA_WEB_ADDRESS);
}

QLabel *AboutBox::fact(const QString &name) const
{
    return findChild<QLabel *>(name);
}
