#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "editorprobe.h"
#include "support/settingsfiles.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/dualdoublespinbox.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/settings/propertytabwidget.h"
#include "toolkit/style/stylehelper.h"

#include <QtWidgets>

using namespace editortest;
using kestatest::readFile;

// Counts the windows shown while it filters the application's events.
struct WindowWatcher : QObject {
    int shown = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        shown += event->type() == QEvent::Show && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow();
        return false;
    }
};

// The list form over the tests' own settings, the application settings and a record.
class PropertyListControlTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LanguageContext::UseFilesInRootDir = false; }

    void cleanup()
    {
        qDeleteAll(qApp->findChildren<QTranslator *>());
        QFile::remove("Settings.xml");
    }

    void editorsAndSettingsFollowEachOther()
    {
        auto probe = std::make_unique<EditorProbeSettings>("Settings.xml");
        auto form = std::make_unique<PropertyListControl>(probe.get());
        QVERIFY(activated(form.get()));
        QTest::mouseClick(editorOf<QCheckBox>(*form, "Enabled"), Qt::LeftButton);
        editorOf<QComboBox>(*form, "Mode")->setCurrentIndex(2);
        QTest::keyClick(editorOf<QSpinBox>(*form, "Level"), Qt::Key_Up);
        auto *origin = qobject_cast<DualDoubleSpinBox *>(viewOf(*form, "Origin"));
        origin->firstSpinBox()->setValue(7);
        QLineEdit *tint = editorOf<QLineEdit>(*form, "Tint");
        tint->selectAll();
        QTest::keyClicks(tint, "#00ff00");
        for (const char *stored :
            { "<Enabled>true</", "<Mode>Expert</", "<Level>6</", "<Origin>7;4</", "<Tint>#00ff00</" })
            QVERIFY2(readFile("Settings.xml").contains(stored), stored);

        // Changes made elsewhere reach the editors without being written back again.
        QSignalSpy changes(probe.get(), &ZTSettings::propertyChanged);
        probe->setLevel(8);
        probe->setMode(EditorProbeSettings::Advanced);
        probe->setTint(QColor(Qt::blue));
        probe->setOrigin(QPoint(-2, 9));
        probe->setName("Bob");
        QCOMPARE(editorOf<QSpinBox>(*form, "Level")->value(), 8);
        QCOMPARE(editorOf<QComboBox>(*form, "Mode")->currentIndex(), 1);
        QCOMPARE(tint->text(), QString("#0000ff"));
        QCOMPARE(origin->secondSpinBox()->value(), 9.0);
        QLineEdit *name = editorOf<QLineEdit>(*form, "Name");
        QCOMPARE(name->text(), QString("Bob"));
        QCoreApplication::processEvents();
        QCOMPARE(changes.count(), 5);

        // Text typed in the middle reaches the setting through the event queue without the cursor
        // moving, all of it even if the form closes first.
        name->setFocus();
        name->setCursorPosition(0);
        QTest::keyClicks(name, "X");
        QTRY_COMPARE(probe->getName(), QString("XBob"));
        QTest::keyClicks(name, "Y");
        form.reset();
        QVERIFY(readFile("Settings.xml").contains("<Name>XYBob</Name>"));

        // A form left without its settings stops writing.
        form = std::make_unique<PropertyListControl>(probe.get());
        probe.reset();
        QTest::mouseClick(editorOf<QCheckBox>(*form, "Enabled"), Qt::LeftButton);
        QTest::keyClicks(editorOf<QLineEdit>(*form, "Name"), "gone");
        QCoreApplication::processEvents();
        QVERIFY(!viewOf(*form, "Enabled")->getDescription());
    }

    void rowsFollowTheirConditions()
    {
        EditorProbeSettings probe;
        // A form built and gone before must not take the conditional rows from this one.
        delete new PropertyListControl(&probe);
        PropertyListControl form(&probe);
        form.setManageCategoryVisibility(true);
        QVERIFY(activated(&form));
        QSignalSpy visibility(&form, &PropertyListControl::propertyVisibilityChanged);
        // Level: Enabled, and Mode Advanced or Expert. Limit: Mode neither Simple nor
        // Expert. Depth: Mode Expert. Trace: Internal, which no form shows, is 1.
        const auto conditionalRows = [&form] {
            QStringList shown;
            for (const char *name : { "Level", "Limit", "Depth", "Trace" })
                shown << (rowShown(form, name) ? name : "-");
            return shown.join(' ');
        };
        const int always = form.widgetInfoCount() - 4;
        QCOMPARE(conditionalRows(), QString("- - - -"));
        QVERIFY(!form.getCategoryLabel("3.Expert")->isVisible());
        QCOMPARE(form.visibleProperties(), always);

        probe.setEnabled(true);
        QCOMPARE(conditionalRows(), QString("- - - -"));
        QCOMPARE(visibility.count(), 0);
        probe.setMode(EditorProbeSettings::Advanced);
        QCOMPARE(conditionalRows(), QString("Level Limit - -"));
        QCOMPARE(visibility.last().at(0).toInt(), always + 2);
        probe.setMode(EditorProbeSettings::Expert);
        QCOMPARE(conditionalRows(), QString("Level - Depth -"));
        QVERIFY(form.getCategoryLabel("3.Expert")->isVisible());
        probe.setEnabled(false);
        probe.setInternal(1);
        QCOMPARE(conditionalRows(), QString("- - Depth Trace"));

        // A header hidden on request stays hidden while its row comes and goes.
        form.showHeader("Level", false);
        probe.setEnabled(true);
        QVERIFY(editorOf<QSpinBox>(form, "Level")->isVisible());
        QVERIFY(!form.getWidgetInfo("Level").header->isVisible());
    }

    void unknownConditionIsLoggedAndLeftOut()
    {
        EditorOrphanSettings orphan;
        WindowWatcher watcher;
        qApp->installEventFilter(&watcher);
        QTest::ignoreMessage(QtDebugMsg, "Property not found \"Missing\"");
        PropertyListControl form(&orphan);
        // A row shown at once is never a window of its own on the way.
        QCOMPARE(watcher.shown, 0);
        QVERIFY(activated(&form));
        QVERIFY(rowShown(form, "Orphan"));
        orphan.setShown(false);
        QVERIFY(!rowShown(form, "Orphan"));
        QTest::ignoreMessage(QtDebugMsg, "Prop not found \"Missing\"");
        PropertyListControl category(&orphan, QString(), PropertyListControl::OneCategory);
    }

    void editorsKeepTheirLimitsAndRefuseWhatTheSettingCannotHold()
    {
        EditorProbeSettings probe;
        probe.setEnabled(true);
        probe.setMode(EditorProbeSettings::Advanced);
        PropertyListControl form(&probe);
        QVERIFY(activated(&form));
        const auto turn = [](QWidget *widget) {
            const QPoint centre = widget->rect().center();
            QWheelEvent wheel(centre, widget->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(widget, &wheel);
        };
        // A wheel turned to scroll the form passes over the fields; a field the user is in takes it.
        QSpinBox *level = editorOf<QSpinBox>(form, "Level");
        turn(editorOf<QComboBox>(form, "Preset"));
        turn(level);
        turn(editorOf<QSlider>(form, "Volume"));
        QCOMPARE(probe.getPreset(), EditorProbeSettings::Simple);
        QCOMPARE(probe.getVolume(), 50);
        QCOMPARE(probe.getLevel(), 4);
        level->setFocus();
        turn(level);
        QCOMPARE(probe.getLevel(), 2);

        for (int i = 0; i < 5; ++i)
            viewOf(form, "Level")->up();
        QCOMPARE(probe.getLevel(), 10);
        viewOf(form, "Level")->down();
        QCOMPARE(probe.getLevel(), 8);

        // "warm" is not a number and is not offered.
        auto *suggestions = viewOf(form, "Limit")->findChild<QToolButton *>("propertySuggestionsButton");
        QCOMPARE(suggestions->menu()->actions().size(), 2);
        suggestions->menu()->actions().last()->trigger();
        QCOMPARE(probe.getLimit(), 38.0);
        // The default button compares numbers as numbers: 12.2 * 3 is not 36.6 in binary, yet the default.
        QVERIFY(viewOf(form, "Limit")->getDefaultButton()->isChecked());
        probe.setLimit(12.2 * 3);
        QVERIFY(!viewOf(form, "Limit")->getDefaultButton()->isChecked());

        // The slider moves in steps of 5.
        QTest::keyClick(editorOf<QSlider>(form, "Volume"), Qt::Key_Right);
        QCOMPARE(probe.getVolume(), 55);
        probe.setVolume(100);
        QCOMPARE(editorOf<QSlider>(form, "Volume")->value(), 20);

        QSignalSpy saved(&probe, &ZTSettings::saved);
        QComboBox *preset = editorOf<QComboBox>(form, "Preset");
        preset->setCurrentIndex(preset->findText("Wizard"));
        QCOMPARE(probe.getPreset(), EditorProbeSettings::Simple);
        preset->setCurrentIndex(preset->findText("Advanced"));
        QCOMPARE(probe.getPreset(), EditorProbeSettings::Advanced);

        QComboBox *copies = editorOf<QComboBox>(form, "Copies");
        copies->setCurrentIndex(copies->findText("many"));
        QCOMPARE(probe.getCopies(), 1);
        QCOMPARE(saved.count(), 1);
        // The refused input stays until the setting next changes.
        QCOMPARE(copies->currentText(), QString("many"));
        probe.setCopies(2);
        QCOMPARE(copies->currentText(), QString("2"));

        // Half-typed colour names are not written at all.
        editorOf<QLineEdit>(form, "Tint")->selectAll();
        QTest::keyClicks(editorOf<QLineEdit>(form, "Tint"), "#12");
        QCOMPARE(probe.getTint(), QColor(Qt::red));
    }

    void tabWalksTheShownEditorsInOrder()
    {
        EditorProbeSettings probe;
        PropertyListControl form(&probe, "1.Main", PropertyListControl::OneCategory);
        QVERIFY(activated(&form));
        QCOMPARE(QApplication::focusWidget(), editorOf<QComboBox>(form, "Mode"));
        // Level and Limit hidden: from Mode, Tab goes to Enabled.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editorOf<QCheckBox>(form, "Enabled"));

        probe.setEnabled(true);
        probe.setMode(EditorProbeSettings::Advanced);
        // Rows appearing do not take the focus away.
        QCOMPARE(QApplication::focusWidget(), editorOf<QCheckBox>(form, "Enabled"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editorOf<QSpinBox>(form, "Level"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editorOf<QDoubleSpinBox>(form, "Limit"));
    }

    void settingsDialogListsWritesAndRestoresDefaults()
    {
        KestaSettings settings("Settings.xml");
        settings.reload();
        QDialog dialog;
        auto *form
            = new PropertyListControl(&settings, QString(), PropertyListControl::AllProperties, &dialog);
        (new QVBoxLayout(&dialog))->addWidget(form);
        QCOMPARE(rowNames(*form),
            QStringList({ "BackupRecipients", "CheckForNewVersion", "ClinicName", "ColorTheme", "DataFolder",
                "EegViewer", "Language", "LogPatientViews", "PatientCardView", "SelectLastPatient",
                "StartMaximized", "TrashPurgeDays", "ServerHost", "ServerPort", "ServerDatabase", "ServerUser",
                "ServerTlsMode", "ServerTimeoutSeconds" }));
        QCOMPARE(form->findChildren<QLabel *>("propertyCategoryLabel").size(), 2);
        auto *icon = form->getWidgetInfo("Language").header->findChild<QLabel *>("propertyHeaderIcon");
        QVERIFY(icon && !icon->pixmap(Qt::ReturnByValue).isNull());

        QVERIFY(activated(&dialog));
        QVERIFY(!QFile::exists("Settings.xml"));
        QComboBox *language = editorOf<QComboBox>(*form, "Language");
        language->setCurrentIndex(language->findData(int(KestaSettings::en_US)));
        QVERIFY(readFile("Settings.xml").contains("<Language>en_US</Language>"));

        // Enter in the dialog restores no default, whichever row's button the dialog might pick.
        settings.setColorTheme(ColorTheme::Dark);
        settings.setPatientCardView(KestaSettings::PatientCard_None);
        settings.setSelectLastPatient(false);
        settings.setStartMaximized(false);
        settings.setCheckForNewVersion(false);
        const QByteArray written = readFile("Settings.xml");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(readFile("Settings.xml"), written);

        // A change made in code moved the editor and pressed the button; a click restores the default.
        QCheckBox *editor = editorOf<QCheckBox>(*form, "StartMaximized");
        QPushButton *button = viewOf(*form, "StartMaximized")->getDefaultButton();
        QVERIFY(!editor->isChecked() && button->isChecked());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(editor->isChecked() && !button->isChecked());
        QVERIFY(readFile("Settings.xml").contains("<StartMaximized>true</StartMaximized>"));
        // Under the program's own style sheet it keeps its size.
        QVERIFY(StyleHelper::registerFontsAndStyles());
        StyleHelper::Instance()->selectTheme("light");
        QCoreApplication::processEvents();
        QCOMPARE(button->size(), QSize(10, 10));
    }

    // "!-°C" is shown as "°C", never translated.
    void recordFormKeepsReadOnlyColumnsAndItsUnit()
    {
        Record record;
        PropertyListControl form(&record);
        QCOMPARE(editorOf<QDoubleSpinBox>(form, "Temperature")->suffix(), QString("°C"));
        QCOMPARE(editorOf<QDoubleSpinBox>(form, "Temperature")->decimals(), 1);
        QVERIFY(!viewOf(form, "RecordDate")->isEnabled());
        QVERIFY(!viewOf(form, "RecordDate")->getDefaultButton());
        QVERIFY(viewOf(form, "Temperature")->getDefaultButton());
        form.setEditorsEnabled(false);
        form.setEditorsEnabled(true);
        QVERIFY(viewOf(form, "Temperature")->isEnabled());
        QVERIFY(!viewOf(form, "RecordDate")->isEnabled());
    }

    void applicationTextsAreTranslated()
    {
        QCOMPARE(LanguageContext::setLanguage("ru_RU"), QString("ru_RU"));
        KestaSettings settings("Settings.xml");
        PropertyListControl form(&settings, QString());
        QCOMPARE(qobject_cast<QLabel *>(form.getWidgetInfo("StartMaximized").header)->text(),
            QString("Запуск на весь экран"));
        QCOMPARE(editorOf<QComboBox>(form, "ColorTheme")->itemText(1), QString("Тёмная"));
        Patient patient;
        PropertyTabWidget tabs(&patient);
        QCOMPARE(tabs.getTabWidget()->tabText(1), QString("Физические и медицинские данные"));

        // The probe's texts: its own catalogue over the program's.
        auto *probeTexts = new QTranslator(qApp);
        QVERIFY(probeTexts->load(":/tests/settings_propertylistcontrol/probe_ru_RU.qm"));
        QCoreApplication::installTranslator(probeTexts);
        EditorProbeSettings probe;
        PropertyListControl probeForm(&probe);
        QCOMPARE(probeForm.getCategoryLabel(QString())->text(), QString("Прочее"));
        QCOMPARE(viewOf(probeForm, "Level")->getDefaultButton()->toolTip(),
            QString("Сбросить на значение по умолчанию '4 см'"));
        QCOMPARE(viewOf(probeForm, "Name")->toolTip(), QString("Печатается в каждом отчёте"));
        QCOMPARE(editorOf<QLineEdit>(probeForm, "Name")->placeholderText(), QString("Введите имя"));
    }
};

KESTA_TEST_MAIN(PropertyListControlTest)
#include "tst_propertylistcontrol.moc"
