#include "db/kestasettings.h"
#include "db/patient.h"
#include "db/record.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/basepropertyview.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/settings/propertytabwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTranslator>
#include <QVBoxLayout>

// The settings editor over the application's own objects: the settings dialog's
// form over KestaSettings bound to a real "Settings.xml", and the patient's tabs
// and card over a Patient.

namespace
{

const char SettingsFile[] = "Settings.xml";

QString fileText()
{
    QFile file(SettingsFile);
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

QString headerText(const BasePropertyListWidget &form, const QString &name)
{
    QWidget *header = form.getWidgetInfo(name).header;
    auto *label = qobject_cast<QLabel *>(header);
    if (!label && header)
        label = header->findChild<QLabel *>(QStringLiteral("propertyHeaderLabel"));
    return label ? label->text() : QString();
}

} // namespace

class PropertyEditorAppTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LanguageContext::UseFilesInRootDir = false; }

    void cleanup()
    {
        const auto translators = qApp->findChildren<QTranslator *>();
        for (QTranslator *translator : translators) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QFile::remove(SettingsFile);
    }

    void settingsDialogListsTheVisibleSettings()
    {
        KestaSettings settings(SettingsFile);
        settings.reload();
        PropertyListControl form(&settings, QString());
        QCOMPARE(form.getViewMode(), PropertyListControl::AllProperties);
        QCOMPARE(rowNames(form),
            QStringList({ "CheckForNewVersion", "ColorTheme", "Language", "PatientCardView",
                "SelectLastPatient", "StartMaximized" }));
        QVERIFY(form.findChildren<QLabel *>("propertyCategoryLabel").isEmpty());

        QVERIFY(!form.getWidgetInfo("Language").view->getDefaultButton());
        for (const char *name :
            { "CheckForNewVersion", "ColorTheme", "PatientCardView", "SelectLastPatient" })
            QVERIFY2(form.getWidgetInfo(name).view->getDefaultButton(), name);
        auto *icon = form.getWidgetInfo("Language").header->findChild<QLabel *>("propertyHeaderIcon");
        QVERIFY(icon);
        QVERIFY(!icon->pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(headerText(form, "Language"), QString("Language"));
    }

    void settingsDialogWritesTheFile()
    {
        KestaSettings settings(SettingsFile);
        settings.reload();
        PropertyListControl form(&settings, QString());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!QFile::exists(SettingsFile));

        QTest::mouseClick(editorOf<QCheckBox>(form, "SelectLastPatient"), Qt::LeftButton);
        QCOMPARE(settings.getSelectLastPatient(), false);
        QVERIFY(fileText().contains("<SelectLastPatient>false</SelectLastPatient>"));

        QComboBox *theme = editorOf<QComboBox>(form, "ColorTheme");
        theme->setCurrentIndex(theme->findData(int(StyleHelper::Dark)));
        QCOMPARE(settings.getColorTheme(), StyleHelper::Dark);
        QVERIFY(fileText().contains("<ColorTheme>Dark</ColorTheme>"));

        QComboBox *language = editorOf<QComboBox>(form, "Language");
        QCOMPARE(language->currentData().toInt(), int(KestaSettings::ru_RU));
        language->setCurrentIndex(language->findData(int(KestaSettings::en_US)));
        QVERIFY(fileText().contains("<Language>en_US</Language>"));

        QComboBox *card = editorOf<QComboBox>(form, "PatientCardView");
        QCOMPARE(card->count(), 3);
        card->setCurrentIndex(2);
        QCOMPARE(settings.getPatientCardView(), KestaSettings::PatientCard_None);

        // The file read back gives what the form shows.
        KestaSettings reread(SettingsFile);
        reread.reload();
        QCOMPARE(reread.getColorTheme(), StyleHelper::Dark);
        QCOMPARE(reread.getLanguage(), KestaSettings::en_US);
        QCOMPARE(reread.getPatientCardView(), KestaSettings::PatientCard_None);
        QCOMPARE(reread.getSelectLastPatient(), false);
    }

    void defaultButtonOfStartMaximized()
    {
        KestaSettings settings(SettingsFile);
        settings.reload();
        PropertyListControl form(&settings, QString());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCheckBox *editor = editorOf<QCheckBox>(form, "StartMaximized");
        QPushButton *button = form.getWidgetInfo("StartMaximized").view->getDefaultButton();
        QVERIFY(button);
        QCOMPARE(button->toolTip(), QString("Set default to 'true'"));
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
        QVERIFY(fileText().contains("<StartMaximized>false</StartMaximized>"));

        QSignalSpy saved(&settings, &ZTSettings::saved);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(settings.getStartMaximized(), true);
        QVERIFY(editor->isChecked());
        QVERIFY(!button->isChecked());
        QCOMPARE(saved.count(), 1);
        QVERIFY(fileText().contains("<StartMaximized>true</StartMaximized>"));

        // From the editor the button follows too.
        QTest::mouseClick(editor, Qt::LeftButton);
        QCOMPARE(settings.getStartMaximized(), false);
        QVERIFY(button->isChecked());
    }

    void enterInTheDialogRestoresNoDefault()
    {
        KestaSettings settings(SettingsFile);
        settings.setColorTheme(StyleHelper::Dark);
        settings.setStartMaximized(false);
        QDialog dialog;
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(
            new PropertyListControl(&settings, QString(), PropertyListControl::AllProperties, &dialog));
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(settings.getColorTheme(), StyleHelper::Dark);
        QCOMPARE(settings.getStartMaximized(), false);
        QVERIFY(dialog.isVisible());
    }

    void settingsDialogSpeaksRussian()
    {
        QCOMPARE(LanguageContext::setLanguage("ru_RU"), QString("ru_RU"));
        KestaSettings settings(SettingsFile);
        PropertyListControl form(&settings, QString());
        QCOMPARE(headerText(form, "StartMaximized"), QString("Запуск на весь экран"));
        QCOMPARE(headerText(form, "Language"), QString("Язык"));
        QComboBox *theme = editorOf<QComboBox>(form, "ColorTheme");
        QCOMPARE(theme->itemText(1), QString("Тёмная"));
        QCOMPARE(editorOf<QComboBox>(form, "PatientCardView")->currentText(), QString("Справа"));
        QCOMPARE(form.getWidgetInfo("StartMaximized").view->getDefaultButton()->toolTip(),
            QString("Сбросить на значение по умолчанию 'true'"));
    }

    void patientTabsComeInCategoryOrder()
    {
        Patient patient;
        PropertyTabWidget tabs(&patient);
        QTabWidget *widget = tabs.getTabWidget();
        QCOMPARE(tabs.tabCount(), 3);
        QCOMPARE(widget->tabBar()->tabData(0).toString(), QString("1.PatientMain"));
        QCOMPARE(widget->tabBar()->tabData(1).toString(), QString("2.PatientPhysicalInfo"));
        QCOMPARE(widget->tabBar()->tabData(2).toString(), QString("3.PatientLocalityInfo"));
        for (int i = 0; i < 3; ++i)
            QVERIFY(widget->isTabVisible(i));
        QCOMPARE(rowNames(*tabs.page("1.PatientMain")),
            QStringList({ "DOB", "FirstName", "LastName", "MiddleName", "PatientID", "Sex" }));
        QCOMPARE(rowNames(*tabs.page("2.PatientPhysicalInfo")),
            QStringList({ "Comments", "Diagnosis", "Hand", "Height", "Medication", "Referral", "Weight" }));
        QCOMPARE(rowNames(*tabs.page("3.PatientLocalityInfo")),
            QStringList({ "City", "Ethnicity", "NativeLanguage", "Phone", "State", "Street", "ZIP" }));
        // Hidden columns have no row; no column offers a default.
        QVERIFY(!tabs.getWidgetInfo("AutoID").isValid());
        QVERIFY(!tabs.getWidgetInfo("Subdirectory").isValid());
        for (int i = 0; i < tabs.widgetInfoCount(); ++i)
            QVERIFY(!tabs.getWidgetInfo(i).view->getDefaultButton());
        QVERIFY(tabs.page("1.PatientMain")->findChildren<QLabel *>("propertyCategoryLabel").isEmpty());
        QCOMPARE(headerText(tabs, "LastName"), QString("LastName"));
    }

    void patientFormEditsThePatient()
    {
        Patient patient;
        patient.setDOB(QDate(1980, 5, 17));
        PropertyTabWidget tabs(&patient);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QTest::keyClicks(editorOf<QLineEdit>(tabs, "LastName"), "Petrov");
        QTRY_COMPARE(patient.getLastName(), QString("Petrov"));
        QComboBox *sex = editorOf<QComboBox>(tabs, "Sex");
        sex->setCurrentIndex(sex->findData(int(Patient::Gender_Female)));
        QCOMPARE(patient.getSex(), Patient::Gender_Female);
        QCOMPARE(editorOf<QDateTimeEdit>(tabs, "DOB")->date(), QDate(1980, 5, 17));
        editorOf<QDoubleSpinBox>(tabs, "Height")->setValue(172);
        QCOMPARE(patient.getHeight(), 172.0);
        QCOMPARE(editorOf<QDoubleSpinBox>(tabs, "Height")->decimals(), 0);

        // A patient without a birth date shows an empty field, not some date.
        Patient unknown;
        PropertyListControl list(&unknown);
        QCOMPARE(editorOf<QDateTimeEdit>(list, "DOB")->text().trimmed(), QString());
    }

    void patientTextsAreTranslated()
    {
        QCOMPARE(LanguageContext::setLanguage("ru_RU"), QString("ru_RU"));
        Patient patient;
        PropertyTabWidget tabs(&patient);
        QCOMPARE(tabs.getTabWidget()->tabText(0), QString("Основное"));
        QCOMPARE(tabs.getTabWidget()->tabText(1), QString("Физические и медицинские данные"));
        QCOMPARE(tabs.getTabWidget()->tabText(2), QString("Адрес и контакты"));
        QCOMPARE(headerText(tabs, "LastName"), QString("Фамилия"));
        QCOMPARE(editorOf<QDoubleSpinBox>(tabs, "Height")->suffix(), QString(" см"));
        QCOMPARE(editorOf<QDoubleSpinBox>(tabs, "Weight")->suffix(), QString(" кг"));
        QComboBox *sex = editorOf<QComboBox>(tabs, "Sex");
        QCOMPARE(sex->itemText(sex->findData(int(Patient::Gender_Male))), QString("Мужской"));

        // "!-°C" is shown as "°C" in every language.
        Record record;
        PropertyListControl recordForm(&record);
        QCOMPARE(editorOf<QDoubleSpinBox>(recordForm, "Temperature")->suffix(), QString("°C"));
        QCOMPARE(editorOf<QDoubleSpinBox>(recordForm, "Temperature")->decimals(), 1);
        QVERIFY(!recordForm.getWidgetInfo("RecordDate").view->isEnabled());
        cleanup();
        QCOMPARE(LanguageContext::setLanguage("en_US"), QString("en_US"));
        PropertyListControl english(&record);
        QCOMPARE(editorOf<QDoubleSpinBox>(english, "Temperature")->suffix(), QString("°C"));
    }

    void patientCardLeavesNothingEditable()
    {
        Patient patient;
        patient.setSex(Patient::Gender_Female);
        for (bool tabbed : { true, false }) {
            patient.setLastName("Ivanova");
            BasePropertyListWidget *card = tabbed
                ? static_cast<BasePropertyListWidget *>(new PropertyTabWidget(&patient))
                : new PropertyListControl(&patient);
            card->setEditorsEnabled(false);
            card->setObjectName("uneditable");
            card->show();
            QVERIFY(QTest::qWaitForWindowExposed(card));
            for (QWidget *editor : card->findChildren<QWidget *>()) {
                const bool input = qobject_cast<QLineEdit *>(editor)
                    || qobject_cast<QAbstractSpinBox *>(editor) || qobject_cast<QComboBox *>(editor)
                    || qobject_cast<QCheckBox *>(editor) || qobject_cast<QPushButton *>(editor);
                QVERIFY2(!input || !editor->isEnabled(), editor->metaObject()->className());
            }
            QLineEdit *lastName = editorOf<QLineEdit>(*card, "LastName");
            QCOMPARE(lastName->text(), QString("Ivanova"));
            QTest::keyClicks(lastName, "x");
            QCoreApplication::processEvents();
            QCOMPARE(patient.getLastName(), QString("Ivanova"));
            // The card still shows changes made elsewhere.
            patient.setLastName("Sidorova");
            QCOMPARE(lastName->text(), QString("Sidorova"));
            delete card;
        }
    }
};

KESTA_TEST_MAIN(PropertyEditorAppTest)
#include "tst_propertyeditorapp.moc"
