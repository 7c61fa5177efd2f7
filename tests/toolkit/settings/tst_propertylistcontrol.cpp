#include "editorprobe.h"

#include "db/kestasettings.h"
#include "db/patient.h"
#include "db/record.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/dualdoublespinbox.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/settings/propertytabwidget.h"
#include "toolkit/style/stylehelper.h"

#include <QtWidgets>

using namespace editortest;

namespace
{

// Counts the windows shown while it filters the application's events.
class WindowWatcher : public QObject
{
public:
    int shown = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        shown += event->type() == QEvent::Show && widget && widget->isWindow() ? 1 : 0;
        return false;
    }
};

} // namespace

// The list form over the tests' own settings, the application settings and a record.
class PropertyListControlTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LanguageContext::UseFilesInRootDir = false; }

    void cleanup()
    {
        removeTranslators();
        QFile::remove(SettingsFile);
    }

    void editsReachTheSettingAndTheFile()
    {
        auto probe = std::make_unique<EditorProbeSettings>(SettingsFile);
        auto form = std::make_unique<PropertyListControl>(probe.get());
        QVERIFY(activated(form.get()));
        QTest::mouseClick(editorOf<QCheckBox>(*form, "Enabled"), Qt::LeftButton);
        QVERIFY(fileText(SettingsFile).contains("<Enabled>true</Enabled>"));
        editorOf<QComboBox>(*form, "Mode")->setCurrentIndex(2);
        QVERIFY(fileText(SettingsFile).contains("<Mode>Expert</Mode>"));
        QTest::keyClick(editorOf<QSpinBox>(*form, "Level"), Qt::Key_Up);
        QVERIFY(fileText(SettingsFile).contains("<Level>6</Level>"));
        qobject_cast<DualDoubleSpinBox *>(viewOf(*form, "Origin"))->firstSpinBox()->setValue(7);
        QVERIFY(fileText(SettingsFile).contains("<Origin>7;4</Origin>"));
        editorOf<QLineEdit>(*form, "Tint")->selectAll();
        QTest::keyClicks(editorOf<QLineEdit>(*form, "Tint"), "#00ff00");
        QCOMPARE(probe->getTint(), QColor(Qt::green));

        // Text reaches the setting through the event queue, all of it, even if the form closes first.
        QTest::keyClicks(editorOf<QLineEdit>(*form, "Name"), "Ann Lee");
        QCOMPARE(probe->getName(), QString());
        QTRY_COMPARE(probe->getName(), QString("Ann Lee"));
        QTest::keyClicks(editorOf<QLineEdit>(*form, "Name"), "!");
        form.reset();
        QVERIFY(fileText(SettingsFile).contains("<Name>Ann Lee!</Name>"));

        // A form left without its settings stops writing.
        form = std::make_unique<PropertyListControl>(probe.get());
        probe.reset();
        QTest::mouseClick(editorOf<QCheckBox>(*form, "Enabled"), Qt::LeftButton);
        QTest::keyClicks(editorOf<QLineEdit>(*form, "Name"), "gone");
        QCoreApplication::processEvents();
        QVERIFY(!viewOf(*form, "Enabled")->getDescription());
    }

    void changesElsewhereFlowBackWithoutBeingWrittenAgain()
    {
        EditorProbeSettings probe;
        PropertyListControl form(&probe);
        QVERIFY(activated(&form));
        QSignalSpy changes(&probe, &ZTSettings::propertyChanged);
        probe.setLevel(8);
        probe.setMode(EditorProbeSettings::Advanced);
        probe.setTint(QColor(Qt::blue));
        probe.setOrigin(QPoint(-2, 9));
        probe.setName("Bob");
        QCOMPARE(editorOf<QSpinBox>(form, "Level")->value(), 8);
        QCOMPARE(editorOf<QComboBox>(form, "Mode")->currentIndex(), 1);
        QCOMPARE(editorOf<QLineEdit>(form, "Tint")->text(), QString("#0000ff"));
        QCOMPARE(qobject_cast<DualDoubleSpinBox *>(viewOf(form, "Origin"))->secondSpinBox()->value(), 9.0);
        QLineEdit *name = editorOf<QLineEdit>(form, "Name");
        QCOMPARE(name->text(), QString("Bob"));
        QCoreApplication::processEvents();
        QCOMPARE(changes.count(), 5);

        // Typing in the middle: the write coming back must not move the cursor.
        name->setFocus();
        name->setCursorPosition(0);
        QTest::keyClicks(name, "X");
        QTRY_COMPARE(probe.getName(), QString("XBob"));
        QTest::keyClicks(name, "Y");
        QTRY_COMPARE(probe.getName(), QString("XYBob"));
    }

    void wheelOverTheFormChangesNoValue()
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
        QSpinBox *level = editorOf<QSpinBox>(form, "Level");
        turn(editorOf<QComboBox>(form, "Preset"));
        turn(level);
        turn(editorOf<QSlider>(form, "Volume"));
        QCOMPARE(probe.getPreset(), EditorProbeSettings::Simple);
        QCOMPARE(probe.getLevel(), 4);
        QCOMPARE(probe.getVolume(), 50);

        // A field the user is in takes the wheel.
        level->setFocus();
        turn(level);
        QCOMPARE(probe.getLevel(), 2);
    }

    void rowsFollowTheirConditions()
    {
        EditorProbeSettings probe;
        // A form built and gone before must not take the conditional rows from this one.
        delete new PropertyListControl(&probe);
        PropertyListControl form(&probe);
        QVERIFY(form.getWidgetInfo("Limit").isValid());
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

    void numericEditorsKeepTheirLimits()
    {
        EditorProbeSettings probe;
        PropertyListControl form(&probe);
        for (int i = 0; i < 4; ++i)
            viewOf(form, "Level")->up();
        QCOMPARE(probe.getLevel(), 10);
        viewOf(form, "Level")->down();
        QCOMPARE(probe.getLevel(), 8);

        // "warm" is not a number and is not offered.
        auto *suggestions = viewOf(form, "Limit")->findChild<QToolButton *>("propertySuggestionsButton");
        QVERIFY(suggestions);
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
    }

    void refusedValuesLeaveTheSettingAsItWas()
    {
        EditorProbeSettings probe(SettingsFile);
        PropertyListControl form(&probe);
        QSignalSpy saved(&probe, &ZTSettings::saved);
        QComboBox *preset = editorOf<QComboBox>(form, "Preset");
        preset->setCurrentIndex(preset->findText("Wizard"));
        QCOMPARE(probe.getPreset(), EditorProbeSettings::Simple);
        preset->setCurrentIndex(preset->findText("Advanced"));
        QCOMPARE(probe.getPreset(), EditorProbeSettings::Advanced);
        QCOMPARE(saved.count(), 1);

        QComboBox *copies = editorOf<QComboBox>(form, "Copies");
        copies->setCurrentIndex(copies->findText("many"));
        QCOMPARE(probe.getCopies(), 1);
        QCOMPARE(saved.count(), 1);
        QVERIFY(fileText(SettingsFile).contains("<Copies>1</Copies>"));
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

    void settingsDialogListsAndWritesTheSettings()
    {
        KestaSettings settings(SettingsFile);
        settings.reload();
        QDialog dialog;
        auto *form
            = new PropertyListControl(&settings, QString(), PropertyListControl::AllProperties, &dialog);
        (new QVBoxLayout(&dialog))->addWidget(form);
        QCOMPARE(rowNames(*form),
            QStringList({ "CheckForNewVersion", "ColorTheme", "Language", "PatientCardView",
                "SelectLastPatient", "StartMaximized" }));
        QVERIFY(form->findChildren<QLabel *>("propertyCategoryLabel").isEmpty());
        QVERIFY(!viewOf(*form, "Language")->getDefaultButton());
        auto *icon = form->getWidgetInfo("Language").header->findChild<QLabel *>("propertyHeaderIcon");
        QVERIFY(icon && !icon->pixmap(Qt::ReturnByValue).isNull());

        QVERIFY(activated(&dialog));
        QVERIFY(!QFile::exists(SettingsFile));
        QComboBox *language = editorOf<QComboBox>(*form, "Language");
        language->setCurrentIndex(language->findData(int(KestaSettings::en_US)));
        QVERIFY(fileText(SettingsFile).contains("<Language>en_US</Language>"));
        QTest::mouseClick(editorOf<QCheckBox>(*form, "CheckForNewVersion"), Qt::LeftButton);
        QVERIFY(fileText(SettingsFile).contains("<CheckForNewVersion>false</CheckForNewVersion>"));

        // Enter in the dialog restores no default, whichever row's button the dialog might pick.
        settings.setColorTheme(ColorTheme::Dark);
        settings.setPatientCardView(KestaSettings::PatientCard_None);
        settings.setSelectLastPatient(false);
        settings.setStartMaximized(false);
        const QString written = fileText(SettingsFile);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(fileText(SettingsFile), written);
    }

    void defaultButtonOfStartMaximized()
    {
        KestaSettings settings(SettingsFile);
        settings.reload();
        PropertyListControl form(&settings, QString());
        QVERIFY(activated(&form));
        QCheckBox *editor = editorOf<QCheckBox>(form, "StartMaximized");
        QPushButton *button = viewOf(form, "StartMaximized")->getDefaultButton();
        QVERIFY(button);
        // Under the program's own style sheet it keeps its size.
        QVERIFY(StyleHelper::registerFontsAndStyles());
        StyleHelper::Instance()->selectTheme("light");
        QCoreApplication::processEvents();
        QCOMPARE(button->size(), QSize(10, 10));
        QVERIFY(editor->isChecked());
        QVERIFY(!button->isChecked());

        // A change made in code moves the editor and presses the button.
        settings.setStartMaximized(false);
        QVERIFY(!editor->isChecked());
        QVERIFY(button->isChecked());
        QSignalSpy saved(&settings, &ZTSettings::saved);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(settings.getStartMaximized(), true);
        QVERIFY(editor->isChecked());
        QVERIFY(!button->isChecked());
        QCOMPARE(saved.count(), 1);
        QVERIFY(fileText(SettingsFile).contains("<StartMaximized>true</StartMaximized>"));
    }

    void readOnlySettingsStayUneditable()
    {
        Record record;
        PropertyListControl form(&record);
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
        KestaSettings settings(SettingsFile);
        PropertyListControl form(&settings, QString());
        QCOMPARE(qobject_cast<QLabel *>(form.getWidgetInfo("StartMaximized").header)->text(),
            QString("Запуск на весь экран"));
        QCOMPARE(editorOf<QComboBox>(form, "ColorTheme")->itemText(1), QString("Тёмная"));
        QCOMPARE(viewOf(form, "StartMaximized")->getDefaultButton()->toolTip(),
            QString("Сбросить на значение по умолчанию 'true'"));

        Patient patient;
        PropertyTabWidget tabs(&patient);
        QCOMPARE(tabs.getTabWidget()->tabText(1), QString("Физические и медицинские данные"));
        QCOMPARE(qobject_cast<QLabel *>(tabs.getWidgetInfo("LastName").header)->text(), QString("Фамилия"));
        QCOMPARE(editorOf<QDoubleSpinBox>(tabs, "Height")->suffix(), QString(" см"));
        // "!-°C" is shown as "°C", never translated.
        Record record;
        PropertyListControl recordForm(&record);
        QCOMPARE(editorOf<QDoubleSpinBox>(recordForm, "Temperature")->suffix(), QString("°C"));
        QCOMPARE(editorOf<QDoubleSpinBox>(recordForm, "Temperature")->decimals(), 1);

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
