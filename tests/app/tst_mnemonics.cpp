#include "app/aboutbox.h"
#include "app/historydialog.h"
#include "app/patientdialog.h"
#include "app/settingsdialog.h"
#include "app/trashdialog.h"
#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/storage/patientdatabase.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/util/buttonmnemonics.h"
#include "toolkit/util/confirmdialog.h"
#include "toolkit/util/messageboxdialogs.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

// Every box and dialog offers each of its buttons by Alt and a letter of its own, in both
// languages.
class TestMnemonics : public QObject
{
    Q_OBJECT

    QStringList faults;

    void check(QWidget *window)
    {
        QSet<QChar> letters;
        for (const QPushButton *button : window->findChildren<QPushButton *>()) {
            if (!button->isVisible() || button->text().isEmpty())
                continue;
            const QString text = button->text();
            const int at = text.indexOf(QRegularExpression("&[^&]"));
            const QChar letter = at < 0 ? QChar() : text.at(at + 1).toLower();
            if (!letter.isLetter() || letters.contains(letter))
                faults << QString(window->metaObject()->className()) + ": " + text;
            letters.insert(letter);
        }
    }

    // Checked while it runs modally, then closed as Escape would.
    void checkModal(const std::function<void()> &open)
    {
        QTimer::singleShot(0, this, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                faults << "no box came up";
            if (!dialog)
                return;
            check(dialog);
            dialog->reject();
        });
        open();
    }

private slots:
    void initTestCase() { ButtonMnemonics::install(); }

    void everyBoxAndDialog_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "en_US";
        QTest::newRow("Russian") << "ru_RU";
    }

    void everyBoxAndDialog()
    {
        QFETCH(QString, language);
        LanguageContext::setLanguage(language);
        faults.clear();
        QVERIFY(kestatest::resetDataFolder());
        PatientDatabase db(DataLocations::databaseFile());
        QVERIFY(db.isUsable());
        KestaSettings settings { QString() };

        checkModal([] { MessageBoxDialogs::question("Remove", "Remove him?", MessageBox::Question); });
        checkModal(
            [] { MessageBoxDialogs::choose("Back up", "How?", MessageBox::Question, "Encrypted", "Plain"); });
        checkModal([] { MessageBoxDialogs::message("Written."); });
        checkModal([] {
            ConfirmDialog dialog(nullptr, QString(), QString(), "Discard");
            dialog.exec();
        });

        Patient patient;
        PatientDialog patientDialog(&patient, &db);
        SettingsDialog settingsDialog(&settings);
        // The small reset buttons have no text: a tool tip says what each does.
        const auto resets = settingsDialog.findChildren<QPushButton *>("propertyDefaultButton");
        QVERIFY(!resets.isEmpty());
        for (const QPushButton *reset : resets)
            QVERIFY2(!reset->toolTip().isEmpty(), qPrintable(reset->parentWidget()->objectName()));
        HistoryDialog history("Petrov", {});
        TrashDialog trash(&db);
        AboutBox about(&settings);
        QVERIFY(about.findChild<QDialogButtonBox *>()); // with its Close button
        for (QDialog *dialog :
            std::initializer_list<QDialog *> { &patientDialog, &settingsDialog, &history, &trash, &about }) {
            dialog->show();
            check(dialog);
            dialog->close();
        }
        LanguageContext::setLanguage("en_US");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

KESTA_TEST_MAIN(TestMnemonics)
#include "tst_mnemonics.moc"
