// Shows the settings form alone: the program's settings object bound to
// "Settings.xml" in the working folder, with the program's theme (following
// ColorTheme as it changes) and language (chosen as at start-up). Every edit is
// written to the file at once, as in the program.
//
//   kesta_settingsform                 the settings dialog's list
//   kesta_settingsform --tabs          the same settings on tabs, one per category
//   kesta_settingsform --card          the list with its editors switched off
//   kesta_settingsform --language en_US
//   kesta_settingsform --grab form.png draws the form into an image and quits
//                                      (works offscreen: QT_QPA_PLATFORM=offscreen)

#include "db/model/kestasettings.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/settings/propertytabwidget.h"
#include "toolkit/style/stylehelper.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QVBoxLayout>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the settings form over Settings.xml in the working folder."));
    parser.addHelpOption();
    const QCommandLineOption tabs(QStringLiteral("tabs"), QStringLiteral("One tab per category."));
    const QCommandLineOption card(
        QStringLiteral("card"), QStringLiteral("Editors switched off, as on the patient card."));
    const QCommandLineOption language(QStringLiteral("language"),
        QStringLiteral("Interface language (en_US, ru_RU)."), QStringLiteral("code"));
    const QCommandLineOption grab(QStringLiteral("grab"),
        QStringLiteral("Save the form as an image and quit."), QStringLiteral("file"));
    parser.addOptions({ tabs, card, language, grab });
    parser.process(app);

    const QString path = QStringLiteral("Settings.xml");
    LanguageContext::setLanguage(
        parser.isSet(language) ? parser.value(language) : LanguageContext::startupLanguage(path));
    StyleHelper::registerFontsAndStyles();

    KestaSettings settings(path);
    settings.reload();
    StyleHelper::InterlinkTheme(&settings, QStringLiteral("ColorTheme"));

    QDialog dialog;
    dialog.setWindowTitle(QCoreApplication::translate("Generic", "Settings"));
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(&dialog);
    BasePropertyListWidget *form = nullptr;
    if (parser.isSet(tabs))
        form = new PropertyTabWidget(&settings, &dialog);
    else
        form = new PropertyListControl(&settings, QString(), PropertyListControl::AllProperties, &dialog);
    if (parser.isSet(card)) {
        form->setEditorsEnabled(false);
        form->setObjectName(QStringLiteral("uneditable"));
    }
    layout->addWidget(form);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(420, 300)));

    std::printf("Editing %s\n", qPrintable(QDir::current().absoluteFilePath(path)));
    if (parser.isSet(grab)) {
        dialog.show();
        QApplication::processEvents();
        const bool saved = dialog.grab().save(parser.value(grab));
        std::printf("%s %s\n", saved ? "Wrote" : "Could not write", qPrintable(parser.value(grab)));
        return saved ? 0 : 1;
    }
    dialog.show();
    return app.exec();
}
