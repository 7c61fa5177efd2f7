#include "support/editorprobesettings.h"
#include "support/testenvironment.h"
#include "toolkit/settings/abstractmetadescriptor.h"
#include "toolkit/settings/basepropertyview.h"
#include "toolkit/settings/colorpropertyview.h"
#include "toolkit/settings/dualdoublespinbox.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/settings/propertytabwidget.h"
#include "toolkit/settings/specialpropertyview.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <QWheelEvent>

// The settings editor over a settings class of the tests' own
// (support/editorprobesettings.h). Its Russian texts come from
// propertyeditor/probe_ru_RU.ts, which the program does not ship.

namespace
{

const char ProbeFile[] = "probe.xml";

QString fileText()
{
    QFile file(ProbeFile);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList rowNames(const BasePropertyListWidget &form)
{
    QStringList names;
    for (int i = 0; i < form.widgetInfoCount(); ++i)
        names << form.getWidgetInfo(i).name;
    return names;
}

template <class T> T *editorOf(const BasePropertyListWidget &form, const QString &name)
{
    const PropertyWidgetInfo info = form.getWidgetInfo(name);
    return info.view ? qobject_cast<T *>(info.view->getEditor()) : nullptr;
}

BasePropertyView *viewOf(const BasePropertyListWidget &form, const QString &name)
{
    return form.getWidgetInfo(name).view;
}

// Shown as the user would see it: header and editor both on screen.
bool rowShown(const BasePropertyListWidget &form, const QString &name)
{
    const PropertyWidgetInfo info = form.getWidgetInfo(name);
    return info.header && info.editor && info.header->isVisible() && info.editor->isVisible();
}

QString headerText(const BasePropertyListWidget &form, const QString &name)
{
    QWidget *header = form.getWidgetInfo(name).header;
    auto *label = qobject_cast<QLabel *>(header);
    if (!label && header)
        label = header->findChild<QLabel *>(QStringLiteral("propertyHeaderLabel"));
    return label ? label->text() : QString();
}

// Counts windows shown while it lives.
class WindowWatcher : public QObject
{
public:
    WindowWatcher() { qApp->installEventFilter(this); }
    ~WindowWatcher() override { qApp->removeEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::Show && widget && widget->isWindow())
            ++shown;
        return false;
    }
};

} // namespace

class PropertyEditorTest : public QObject
{
    Q_OBJECT

private:
    QTranslator *probeCatalogue = nullptr;
    QTranslator *editorCatalogue = nullptr;

    void installRussian()
    {
        probeCatalogue = new QTranslator(qApp);
        editorCatalogue = new QTranslator(qApp);
        QVERIFY(probeCatalogue->load(":/tests/settings_propertyeditor/probe_ru_RU.qm"));
        QVERIFY(editorCatalogue->load(":/translations/settingseditor_ru_RU.qm"));
        QCoreApplication::installTranslator(probeCatalogue);
        QCoreApplication::installTranslator(editorCatalogue);
    }

private slots:
    void cleanup()
    {
        for (QTranslator *translator : { probeCatalogue, editorCatalogue }) {
            if (translator) {
                QCoreApplication::removeTranslator(translator);
                delete translator;
            }
        }
        probeCatalogue = editorCatalogue = nullptr;
        QFile::remove(ProbeFile);
    }

    void rowsComeInCategoryOrderWithOtherLast()
    {
        EditorProbeSettings probe;
        PropertyListControl form(&probe);
        // Priority first, then name; hidden and non-editable settings are left out.
        QCOMPARE(rowNames(form),
            QStringList({ "Enabled", "Mode", "Level", "Serial", "Threshold", "Name", "Origin", "Secret",
                "Started", "Tint", "Depth", "Trace", "Band", "Copies", "DataFolder", "Notes", "Preset",
                "Recording", "Volume" }));

        const auto labels = form.findChildren<QLabel *>("propertyCategoryLabel");
        QCOMPARE(labels.size(), 4);
        QGridLayout *grid = form.getPropertyGrid();
        int labelRow = 0, column = 0, span = 0;
        grid->getItemPosition(
            grid->indexOf(form.getCategoryLabel(QString())), &labelRow, &column, &span, &span);
        QCOMPARE(form.getCategoryLabel(QString())->text(), QString("Other"));
        QCOMPARE(labelRow, form.getWidgetInfo("Band").row - 1);
        QCOMPARE(form.getCategoryLabel("2.Extra")->styleSheet(), QString("font-weight: bold"));

        // One category: no labels at all.
        PropertyListControl main(&probe, "1.Main", PropertyListControl::OneCategory);
        QCOMPARE(rowNames(main), QStringList({ "Enabled", "Mode", "Level", "Serial", "Threshold" }));
        QVERIFY(main.findChildren<QLabel *>("propertyCategoryLabel").isEmpty());
        EditorOrphanSettings plain;
        QTest::ignoreMessage(QtDebugMsg, "Property not found \"Missing\"");
        PropertyListControl plainForm(&plain);
        QVERIFY(plainForm.findChildren<QLabel *>("propertyCategoryLabel").isEmpty());

        PropertyListControl single(&probe, "Volume", PropertyListControl::OneProperty);
        QCOMPARE(rowNames(single), QStringList({ "Volume" }));
        QVERIFY(!single.getScrollArea());
        QVERIFY(form.getScrollArea());
        QVERIFY(form.getScrollArea()->styleSheet().contains(
            "QScrollArea { background: transparent; border: 0; }"));
    }

    void textsAreTranslated()
    {
        installRussian();
        EditorProbeSettings probe;
        probe.setEnabled(true);
        probe.setMode(EditorProbeSettings::Advanced);
        PropertyListControl form(&probe);
        QCOMPARE(form.getCategoryLabel("1.Main")->text(), QString("Основное"));
        QCOMPARE(form.getCategoryLabel(QString())->text(), QString("Прочее"));
        QCOMPARE(headerText(form, "Level"), QString("Уровень"));
        // Untranslated names show as declared.
        QCOMPARE(headerText(form, "Volume"), QString("Volume"));
        QCOMPARE(editorOf<QComboBox>(form, "Mode")->itemText(1), QString("Расширенный"));
        QCOMPARE(editorOf<QComboBox>(form, "Mode")->itemText(2), QString("Expert"));

        // " cm" keeps its space and translates the rest; "!-°C" is never translated.
        QCOMPARE(editorOf<QSpinBox>(form, "Level")->suffix(), QString(" см"));
        QCOMPARE(editorOf<QDoubleSpinBox>(form, "Threshold")->suffix(), QString("°C"));
        QCOMPARE(BasePropertyView::translatedSuffixOrPrefix("cm"), QString("см"));
        QCOMPARE(BasePropertyView::translatedSuffixOrPrefix(""), QString(""));

        QCOMPARE(viewOf(form, "Level")->getDefaultButton()->toolTip(),
            QString("Сбросить на значение по умолчанию '4 см'"));
        QCOMPARE(viewOf(form, "Threshold")->getDefaultButton()->toolTip(),
            QString("Сбросить на значение по умолчанию '36.6°C'"));
        QCOMPARE(form.getWidgetInfo("Name").header->toolTip(), QString("Печатается в каждом отчёте"));
        QCOMPARE(viewOf(form, "Name")->toolTip(), QString("Печатается в каждом отчёте"));
        QCOMPARE(editorOf<QLineEdit>(form, "Name")->placeholderText(), QString("Введите имя"));
        QCOMPARE(viewOf(form, "DataFolder")->findChild<QPushButton *>("propertyOpenButton")->text(),
            QString("Открыть"));

        PropertyTabWidget tabs(&probe);
        QCOMPARE(tabs.getTabWidget()->tabText(0), QString("Основное"));
        QCOMPARE(tabs.getTabWidget()->tabText(3), QString("Прочее"));
    }

    void eachSettingGetsTheEditorForItsType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("span");
        const auto row = [](const char *name, const char *view, int span) {
            QTest::newRow(name) << QString(name) << QString(view) << span;
        };
        row("Enabled", "BoolPropertyView", 1);
        row("Mode", "EnumPropertyView", 1);
        row("Level", "IntPropertyView", 1);
        row("Threshold", "DoublePropertyView", 1);
        row("Serial", "StringPropertyView", 2);
        row("Origin", "DualDoubleSpinBox", 1);
        row("Tint", "ColorPropertyView", 1);
        row("Started", "DatePropertyView", 1);
        row("Notes", "MultilinePropertyView", 2);
        row("DataFolder", "SpecialPropertyView", 2);
        row("Recording", "SpecialPropertyView", 2);
        row("Volume", "SliderPropertyView", 1);
        row("Band", "DualDoubleSpinBox", 1);
        row("Preset", "EnumStringListPropertyView", 1);
        row("Copies", "EnumStringListPropertyView", 1);
    }

    void eachSettingGetsTheEditorForItsType()
    {
        QFETCH(QString, name);
        QFETCH(QString, view);
        QFETCH(int, span);
        EditorProbeSettings probe;
        PropertyListControl form(&probe, name, PropertyListControl::OneProperty);
        const PropertyWidgetInfo info = form.getWidgetInfo(name);
        QVERIFY(info.view);
        QCOMPARE(QString(info.view->metaObject()->className()), view);
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        QGridLayout *grid = form.getPropertyGrid();
        grid->getItemPosition(grid->indexOf(info.view), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(column, 1);
        QCOMPARE(columnSpan, span);
        if (name == "Origin")
            QCOMPARE(qobject_cast<DualDoubleSpinBox *>(info.view)->mode(), DualDoubleSpinBox::DualMode_Point);
        if (name == "Band")
            QCOMPARE(qobject_cast<DualDoubleSpinBox *>(info.view)->mode(), DualDoubleSpinBox::DualMode_Range);
    }

    void editsReachTheSettingAndTheFile()
    {
        EditorProbeSettings probe(ProbeFile);
        PropertyListControl form(&probe);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QTest::mouseClick(editorOf<QCheckBox>(form, "Enabled"), Qt::LeftButton);
        QCOMPARE(probe.getEnabled(), true);
        QVERIFY(fileText().contains("<Enabled>true</Enabled>"));

        editorOf<QComboBox>(form, "Mode")->setCurrentIndex(2);
        QCOMPARE(probe.getMode(), EditorProbeSettings::Expert);
        QVERIFY(fileText().contains("<Mode>Expert</Mode>"));

        QSpinBox *level = editorOf<QSpinBox>(form, "Level");
        QTest::keyClick(level, Qt::Key_Up);
        QCOMPARE(probe.getLevel(), 6);
        QVERIFY(fileText().contains("<Level>6</Level>"));

        // Text reaches the setting through the event queue, all of it.
        QLineEdit *name = editorOf<QLineEdit>(form, "Name");
        QTest::keyClicks(name, "Ann Lee");
        QCOMPARE(probe.getName(), QString());
        QTRY_COMPARE(probe.getName(), QString("Ann Lee"));
        QVERIFY(fileText().contains("<Name>Ann Lee</Name>"));

        DualDoubleSpinBox *origin = qobject_cast<DualDoubleSpinBox *>(viewOf(form, "Origin"));
        origin->firstSpinBox()->setValue(7);
        QCOMPARE(probe.getOrigin(), QPoint(7, 4));
        QVERIFY(fileText().contains("<Origin>7;4</Origin>"));

        editorOf<QLineEdit>(form, "Tint")->selectAll();
        QTest::keyClicks(editorOf<QLineEdit>(form, "Tint"), "#00ff00");
        QCOMPARE(probe.getTint(), QColor(Qt::green));

        QTest::keyClicks(editorOf<QPlainTextEdit>(form, "Notes"), "first line");
        QTest::keyClick(editorOf<QPlainTextEdit>(form, "Notes"), Qt::Key_Return);
        QTest::keyClicks(editorOf<QPlainTextEdit>(form, "Notes"), "second");
        QCOMPARE(probe.getNotes(), QString("first line\nsecond"));

        editorOf<QDateTimeEdit>(form, "Started")->setDate(QDate(1985, 3, 15));
        QCOMPARE(probe.getStarted(), QDate(1985, 3, 15));
        QVERIFY(fileText().contains("<Started>1985-03-15</Started>"));
    }

    void changesElsewhereFlowBackWithoutBeingWrittenAgain()
    {
        EditorProbeSettings probe(ProbeFile);
        PropertyListControl form(&probe);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy changes(&probe, &ZTSettings::propertyChanged);

        probe.setLevel(8);
        probe.setMode(EditorProbeSettings::Advanced);
        probe.setTint(QColor(Qt::blue));
        probe.setOrigin(QPoint(-2, 9));
        probe.setStarted(QDate(2001, 2, 3));
        probe.setName("Bob");
        QCOMPARE(editorOf<QSpinBox>(form, "Level")->value(), 8);
        QCOMPARE(editorOf<QComboBox>(form, "Mode")->currentIndex(), 1);
        QCOMPARE(editorOf<QLineEdit>(form, "Tint")->text(), QString("#0000ff"));
        QCOMPARE(qobject_cast<DualDoubleSpinBox *>(viewOf(form, "Origin"))->secondSpinBox()->value(), 9.0);
        QCOMPARE(editorOf<QDateTimeEdit>(form, "Started")->date(), QDate(2001, 2, 3));
        QLineEdit *name = editorOf<QLineEdit>(form, "Name");
        QCOMPARE(name->text(), QString("Bob"));
        QCoreApplication::processEvents();
        QCOMPARE(changes.count(), 6);

        // Typing in the middle: the write coming back must not move the cursor.
        name->setFocus();
        name->setCursorPosition(0);
        QTest::keyClicks(name, "X");
        QTRY_COMPARE(probe.getName(), QString("XBob"));
        QTest::keyClicks(name, "Y");
        QTRY_COMPARE(probe.getName(), QString("XYBob"));
        QCOMPARE(name->text(), QString("XYBob"));

        // An invalid date shows as a blank field and is written back as one.
        probe.setStarted(QDate());
        QDateTimeEdit *started = editorOf<QDateTimeEdit>(form, "Started");
        QCOMPARE(started->text().trimmed(), QString());
        started->setDate(QDate(1990, 1, 1));
        started->setDate(started->minimumDate());
        QVERIFY(!probe.getStarted().isValid());
    }

    void wheelOverTheFormChangesNoValue()
    {
        EditorProbeSettings probe;
        probe.setEnabled(true);
        probe.setMode(EditorProbeSettings::Advanced);
        PropertyListControl form(&probe);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto turn = [](QWidget *widget) {
            const QPoint centre(widget->width() / 2, widget->height() / 2);
            QWheelEvent wheel(centre, widget->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(widget, &wheel);
        };
        QComboBox *mode = editorOf<QComboBox>(form, "Mode");
        QSpinBox *level = editorOf<QSpinBox>(form, "Level");
        turn(mode);
        turn(level);
        turn(editorOf<QSlider>(form, "Volume"));
        QCOMPARE(probe.getMode(), EditorProbeSettings::Advanced);
        QCOMPARE(probe.getLevel(), 4);
        QCOMPARE(probe.getVolume(), 50);

        // A field the user is in takes the wheel.
        level->setFocus();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        turn(level);
        QCOMPARE(probe.getLevel(), 2);
    }

    void typingIsKeptWhenTheFormCloses()
    {
        EditorProbeSettings probe(ProbeFile);
        auto *form = new PropertyListControl(&probe);
        QTest::keyClicks(editorOf<QLineEdit>(*form, "Name"), "Zed");
        delete form;
        QCOMPARE(probe.getName(), QString("Zed"));
        QVERIFY(fileText().contains("<Name>Zed</Name>"));
    }

    void formOutlivingItsSettingsStopsWriting()
    {
        auto *probe = new EditorProbeSettings;
        PropertyListControl form(probe);
        QCheckBox *enabled = editorOf<QCheckBox>(form, "Enabled");
        QLineEdit *name = editorOf<QLineEdit>(form, "Name");
        delete probe;
        QTest::mouseClick(enabled, Qt::LeftButton);
        QTest::keyClicks(name, "gone");
        QCoreApplication::processEvents();
        QVERIFY(form.getWidgetInfo("Enabled").view->getDescription() == nullptr);
    }

    void defaultButtonFollowsTheValue()
    {
        EditorProbeSettings probe(ProbeFile);
        PropertyListControl form(&probe);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QPushButton *button = viewOf(form, "Enabled")->getDefaultButton();
        QVERIFY(button);
        QCOMPARE(button->size(), QSize(10, 10));
        QCOMPARE(button->toolTip(), QString("Set default to 'false'"));
        QVERIFY(!button->isChecked());

        QTest::mouseClick(editorOf<QCheckBox>(form, "Enabled"), Qt::LeftButton);
        QVERIFY(button->isChecked());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(probe.getEnabled(), false);
        QVERIFY(!button->isChecked());
        QVERIFY(!editorOf<QCheckBox>(form, "Enabled")->isChecked());
        QVERIFY(fileText().contains("<Enabled>false</Enabled>"));

        // Numbers compare as numbers, whatever the text of the default.
        probe.setThreshold(36.6000000001 - 0.0000000001);
        QVERIFY(!viewOf(form, "Threshold")->getDefaultButton()->isChecked());
        probe.setThreshold(37);
        QVERIFY(viewOf(form, "Threshold")->getDefaultButton()->isChecked());
        QCOMPARE(viewOf(form, "Level")->getDefaultButton()->toolTip(), QString("Set default to '4 cm'"));

        // A click while the value is already the default leaves the button released.
        QPushButton *volume = viewOf(form, "Volume")->getDefaultButton();
        QTest::mouseClick(volume, Qt::LeftButton);
        QVERIFY(!volume->isChecked());
        QCOMPARE(probe.getVolume(), 50);

        form.showDefaultButtons(false);
        QVERIFY(button->isHidden());
        form.showDefaultButtons(true);
        QVERIFY(!button->isHidden());
    }

    void readOnlyAndDefaultlessSettingsOfferNoButton()
    {
        EditorProbeSettings probe;
        PropertyListControl form(&probe);
        QVERIFY(!viewOf(form, "Serial")->isEnabled());
        QVERIFY(!viewOf(form, "Serial")->getDefaultButton());
        QVERIFY(!viewOf(form, "Name")->getDefaultButton());
        QVERIFY(!viewOf(form, "Started")->getDefaultButton());
        QVERIFY(viewOf(form, "Mode")->getDefaultButton());

        form.setEditorsEnabled(false);
        for (int i = 0; i < form.widgetInfoCount(); ++i)
            QVERIFY2(!form.getWidgetInfo(i).editor->isEnabled(), qPrintable(form.getWidgetInfo(i).name));
        form.setEditorsEnabled(true);
        QVERIFY(viewOf(form, "Mode")->isEnabled());
        QVERIFY(!viewOf(form, "Serial")->isEnabled());
    }

    void rowsFollowTheirConditions()
    {
        EditorProbeSettings probe;
        PropertyListControl form(&probe);
        form.setManageCategoryVisibility(true);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy visibility(&form, &PropertyListControl::propertyVisibilityChanged);
        const int always = form.widgetInfoCount() - 5;

        // Level: Enabled and Mode Advanced or Expert. Threshold: Mode neither Simple
        // nor Expert. Depth: Mode Expert. Trace: Mode neither Simple nor Advanced.
        QVERIFY(!rowShown(form, "Level"));
        QVERIFY(!rowShown(form, "Threshold"));
        QVERIFY(!rowShown(form, "Depth"));
        QVERIFY(!rowShown(form, "Trace"));
        QVERIFY(!form.getCategoryLabel("3.Expert")->isVisible());
        QCOMPARE(form.visibleProperties(), always);

        probe.setEnabled(true);
        QVERIFY(!rowShown(form, "Level"));
        QCOMPARE(visibility.count(), 0);

        probe.setMode(EditorProbeSettings::Advanced);
        QVERIFY(rowShown(form, "Level"));
        QVERIFY(rowShown(form, "Threshold"));
        QVERIFY(!rowShown(form, "Trace"));
        QVERIFY(!form.getCategoryLabel("3.Expert")->isVisible());
        QCOMPARE(form.visibleProperties(), always + 2);
        QCOMPARE(visibility.last().at(0).toInt(), always + 2);

        probe.setMode(EditorProbeSettings::Expert);
        QVERIFY(rowShown(form, "Level"));
        QVERIFY(!rowShown(form, "Threshold"));
        QVERIFY(rowShown(form, "Depth"));
        QVERIFY(rowShown(form, "Trace"));
        QVERIFY(form.getCategoryLabel("3.Expert")->isVisible());

        probe.setEnabled(false);
        QVERIFY(!rowShown(form, "Level"));
        QCOMPARE(form.visibleProperties(), always + 2);
        QCOMPARE(visibility.last().at(0).toInt(), always + 2);

        // A condition on a setting no form shows still counts and is followed.
        QVERIFY(!rowShown(form, "Secret"));
        probe.setUnlock("yes");
        QVERIFY(rowShown(form, "Secret"));

        // A header hidden on request stays hidden while its row comes and goes.
        form.showHeader("Level", false);
        probe.setEnabled(true);
        QVERIFY(editorOf<QSpinBox>(form, "Level")->isVisible());
        QVERIFY(!form.getWidgetInfo("Level").header->isVisible());
        form.showHeaders(true);
        QVERIFY(rowShown(form, "Level"));

        form.hideItems({ "Depth" });
        QVERIFY(!rowShown(form, "Depth"));
        probe.setMode(EditorProbeSettings::Advanced);
        probe.setMode(EditorProbeSettings::Expert);
        QVERIFY(!rowShown(form, "Depth"));
        form.showItems({ "Depth" }, true);
        QVERIFY(rowShown(form, "Depth"));
    }

    void conditionsSplitOnEitherOperator_data()
    {
        QTest::addColumn<QString>("required");
        QTest::addColumn<bool>("expected");
        // The probe's Mode is Advanced.
        QTest::newRow("equal") << "Advanced" << true;
        QTest::newRow("different") << "Expert" << false;
        QTest::newRow("negated") << "!Expert" << true;
        QTest::newRow("any, one matches") << "Simple|Advanced" << true;
        QTest::newRow("any, none matches") << "Simple|Expert" << false;
        QTest::newRow("all, all match") << "!Simple&&!Expert" << true;
        QTest::newRow("all, one fails") << "!Simple&&!Advanced" << false;
        QTest::newRow("both operators count as any") << "Simple&&Advanced|Expert" << true;
    }

    void conditionsSplitOnEitherOperator()
    {
        QFETCH(QString, required);
        QFETCH(bool, expected);
        EditorProbeSettings probe;
        probe.setMode(EditorProbeSettings::Advanced);
        PropertyListControl form(&probe);
        QCOMPARE(form.checkVisibility("Mode", required), expected);
        QVERIFY(form.checkVisibility("NoSuchSetting", "anything"));
    }

    void unknownConditionIsLoggedAndLeftOut()
    {
        EditorOrphanSettings orphan;
        QTest::ignoreMessage(QtDebugMsg, "Property not found \"Missing\"");
        auto watcher = std::make_unique<WindowWatcher>();
        PropertyListControl form(&orphan);
        // A row shown at once is never a window of its own on the way.
        QCOMPARE(watcher->shown, 0);
        watcher.reset();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(rowShown(form, "Orphan"));
        orphan.setShown(false);
        QVERIFY(!rowShown(form, "Orphan"));

        QTest::ignoreMessage(QtDebugMsg, "Prop not found \"Missing\"");
        PropertyListControl category(&orphan, QString(), PropertyListControl::OneCategory);
        QCOMPARE(rowNames(category), QStringList({ "Orphan", "Shown" }));
    }

    void aSettingHiddenByOneFormReturnsInTheNext()
    {
        EditorProbeSettings probe;
        delete new PropertyListControl(&probe);
        PropertyListControl form(&probe);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.getWidgetInfo("Threshold").isValid());
        probe.setMode(EditorProbeSettings::Advanced);
        QVERIFY(rowShown(form, "Threshold"));
    }

    void tabsFollowTheirRows()
    {
        EditorProbeSettings probe;
        PropertyTabWidget tabs(&probe);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QTabWidget *widget = tabs.getTabWidget();
        QCOMPARE(tabs.tabCount(), 4);
        QCOMPARE(widget->tabText(0), QString("1.Main"));
        QCOMPARE(widget->tabText(2), QString("3.Expert"));
        QCOMPARE(widget->tabText(3), QString("Other"));
        QCOMPARE(widget->tabBar()->tabData(2).toString(), QString("3.Expert"));
        QCOMPARE(tabs.tabIndex("3.Expert"), 2);
        QCOMPARE(tabs.tabIndex("nothing"), -1);
        QCOMPARE(rowNames(*tabs.page("3.Expert")), QStringList({ "Depth", "Trace" }));

        // Every row of "3.Expert" hidden: the tab is out of the bar.
        QVERIFY(!widget->isTabVisible(2));
        QVERIFY(!widget->isTabEnabled(2));
        probe.setMode(EditorProbeSettings::Expert);
        QVERIFY(widget->isTabVisible(2));
        QVERIFY(widget->isTabEnabled(2));
        widget->setCurrentIndex(2);
        probe.setMode(EditorProbeSettings::Simple);
        QVERIFY(!widget->isTabVisible(2));
        QVERIFY(widget->currentIndex() != 2);

        // Focusing a field on another tab brings its tab forward.
        tabs.setFocusAt("Name");
        QCOMPARE(widget->currentIndex(), tabs.tabIndex("2.Extra"));

        tabs.moveTab(QString(), 0, true);
        QCOMPARE(tabs.tabIndex(QString()), 0);
        QCOMPARE(widget->currentIndex(), 0);
        QCOMPARE(tabs.tabIndex("1.Main"), 1);

        // Card mode: nothing anywhere can be edited.
        tabs.setEditorsEnabled(false);
        QCOMPARE(tabs.widgetInfoCount(), 19);
        for (int i = 0; i < tabs.widgetInfoCount(); ++i)
            QVERIFY(!tabs.getWidgetInfo(i).editor->isEnabled());
        QTest::mouseClick(tabs.getWidgetInfo("Enabled").view->getEditor(), Qt::LeftButton);
        QCOMPARE(probe.getEnabled(), false);
    }

    void numericEditorsKeepTheirLimits()
    {
        EditorProbeSettings probe(ProbeFile);
        PropertyListControl form(&probe);
        QSpinBox *level = editorOf<QSpinBox>(form, "Level");
        QCOMPARE(level->minimum(), 0);
        QCOMPARE(level->maximum(), 10);
        QCOMPARE(level->singleStep(), 2);
        viewOf(form, "Level")->up();
        QCOMPARE(probe.getLevel(), 6);
        viewOf(form, "Level")->down();
        viewOf(form, "Level")->down();
        QCOMPARE(probe.getLevel(), 2);

        auto *threshold = editorOf<QDoubleSpinBox>(form, "Threshold");
        QCOMPARE(threshold->decimals(), 1);
        QCOMPARE(threshold->maximum(), 60.0);
        QCOMPARE(threshold->singleStep(), 0.1);
        // "warm" is not a number and is not offered.
        auto *suggestions = viewOf(form, "Threshold")->findChild<QToolButton *>("propertySuggestionsButton");
        QVERIFY(suggestions);
        const auto actions = suggestions->menu()->actions();
        QCOMPARE(actions.size(), 3);
        actions.at(2)->trigger();
        QCOMPARE(probe.getThreshold(), 38.0);

        // Unlimited settings reach the whole int range.
        QSpinBox *depth = editorOf<QSpinBox>(form, "Depth");
        QCOMPARE(depth->minimum(), std::numeric_limits<int>::min());
        QCOMPARE(depth->maximum(), std::numeric_limits<int>::max());

        QSlider *volume = editorOf<QSlider>(form, "Volume");
        QCOMPARE(volume->maximum(), 20);
        QCOMPARE(volume->value(), 10);
        QTest::keyClick(volume, Qt::Key_Right);
        QCOMPARE(probe.getVolume(), 55);
        probe.setVolume(100);
        QCOMPARE(volume->value(), 20);
        QCOMPARE(viewOf(form, "Volume")->findChild<QLabel *>("propertySliderValue")->text(), QString("100"));

        auto *band = qobject_cast<DualDoubleSpinBox *>(viewOf(form, "Band"));
        band->secondSpinBox()->setValue(40);
        band->firstSpinBox()->setValue(12.5);
        QCOMPARE(probe.getBand(), QString("12.5,40"));
        // The low end cannot pass the high one.
        band->firstSpinBox()->setValue(70);
        QCOMPARE(probe.getBand(), QString("40,40"));
        probe.setBand("5;90");
        QCOMPARE(band->firstSpinBox()->value(), 5.0);
        QCOMPARE(band->secondSpinBox()->value(), 90.0);
    }

    void refusedValuesLeaveTheSettingAsItWas()
    {
        EditorProbeSettings probe(ProbeFile);
        PropertyListControl form(&probe);
        QSignalSpy saved(&probe, &ZTSettings::saved);

        QComboBox *preset = editorOf<QComboBox>(form, "Preset");
        QCOMPARE(preset->count(), 3);
        preset->setCurrentIndex(preset->findText("Wizard"));
        QCOMPARE(probe.getPreset(), EditorProbeSettings::Simple);
        QCOMPARE(preset->currentText(), QString("Wizard"));
        preset->setCurrentIndex(preset->findText("Advanced"));
        QCOMPARE(probe.getPreset(), EditorProbeSettings::Advanced);
        QCOMPARE(saved.count(), 1);

        QComboBox *copies = editorOf<QComboBox>(form, "Copies");
        copies->setCurrentIndex(copies->findText("many"));
        QCOMPARE(probe.getCopies(), 1);
        QCOMPARE(copies->currentText(), QString("many"));
        copies->lineEdit()->clear();
        QTest::keyClicks(copies->lineEdit(), "x3");
        QCOMPARE(probe.getCopies(), 1);
        QCOMPARE(saved.count(), 1);
        QVERIFY(fileText().contains("<Copies>1</Copies>"));
        // The refused input stays until the setting next changes.
        QCOMPARE(copies->currentText(), QString("x3"));
        probe.setCopies(2);
        QCOMPARE(copies->currentText(), QString("2"));

        // Half-typed colour names are not written at all.
        editorOf<QLineEdit>(form, "Tint")->selectAll();
        QTest::keyClicks(editorOf<QLineEdit>(form, "Tint"), "#12");
        QCOMPARE(probe.getTint(), QColor(Qt::red));
    }

    void choosersWriteWhatIsChosen()
    {
        EditorProbeSettings probe(ProbeFile);
        PropertyListControl form(&probe);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTemporaryDir folder;
        QVERIFY(folder.isValid());

        auto *data = qobject_cast<SpecialPropertyView *>(viewOf(form, "DataFolder"));
        QVERIFY(data->picksFolder());
        QTest::mouseClick(data->openButton(), Qt::LeftButton);
        auto *dialog = data->findChild<QFileDialog *>("propertyFileDialog");
        QVERIFY(dialog);
        QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
        dialog->setDirectory(folder.path());
        dialog->selectFile(folder.path());
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open)->click();
        QCOMPARE(probe.getDataFolder(), QDir::toNativeSeparators(folder.path()));

        auto *recording = qobject_cast<SpecialPropertyView *>(viewOf(form, "Recording"));
        QVERIFY(!recording->picksFolder());
        QFileDialog *files = recording->openChooser();
        QCOMPARE(files->nameFilters(), QStringList({ "Recordings (*.edf)" }));
        files->reject();
        QCOMPARE(probe.getRecording(), QString());

        auto *tint = qobject_cast<ColorPropertyView *>(viewOf(form, "Tint"));
        QTest::mouseClick(tint->swatchButton(), Qt::LeftButton);
        auto *colours = tint->findChild<QColorDialog *>("propertyColorDialog");
        QVERIFY(colours);
        QCOMPARE(colours->currentColor(), QColor(Qt::red));
        colours->setCurrentColor(QColor("#336699"));
        colours->accept();
        QCOMPARE(probe.getTint(), QColor("#336699"));
        QCOMPARE(editorOf<QLineEdit>(form, "Tint")->text(), QString("#336699"));
    }

    void tabWalksTheShownEditorsInOrder()
    {
        EditorProbeSettings probe;
        PropertyListControl form(&probe, "1.Main", PropertyListControl::OneCategory);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), editorOf<QCheckBox>(form, "Enabled"));

        // Level and Threshold hidden, Serial read-only: from Mode, Tab wraps round.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editorOf<QComboBox>(form, "Mode"));

        probe.setEnabled(true);
        probe.setMode(EditorProbeSettings::Advanced);
        // Rows appearing do not take the focus away.
        QCOMPARE(QApplication::focusWidget(), editorOf<QComboBox>(form, "Mode"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editorOf<QSpinBox>(form, "Level"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editorOf<QDoubleSpinBox>(form, "Threshold"));

        // A line edit that takes the focus by click only is reachable by Tab.
        PropertyListControl extra(&probe, "2.Extra", PropertyListControl::OneCategory);
        QCOMPARE(editorOf<QLineEdit>(extra, "Name")->focusPolicy(), Qt::StrongFocus);
    }
};

KESTA_TEST_MAIN(PropertyEditorTest)
#include "tst_propertyeditor.moc"
