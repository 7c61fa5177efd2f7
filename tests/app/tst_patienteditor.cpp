#include "app/patientdialog.h"
#include "app/patienteditor.h"
#include "db/rows/patient.h"
#include "support/testenvironment.h"
#include "toolkit/settings/basepropertyview.h"
#include "toolkit/settings/propertytabwidget.h"

#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>

static QString shown(BasePropertyListWidget *form, const char *column)
{
    return qobject_cast<QLineEdit *>(form->getWidgetInfo(column).view->getEditor())->text();
}

// The read-only patient card, in its list and its tabbed presentation.
class TestPatientEditor : public QObject
{
    Q_OBJECT

private slots:
    void presentsWithoutEditing_data()
    {
        QTest::addColumn<bool>("tabbed");
        QTest::newRow("list") << false;
        QTest::newRow("tabs") << true;
    }

    void presentsWithoutEditing()
    {
        QFETCH(bool, tabbed);
        Patient patient;
        PatientEditor card;
        card.show();
        card.setTabbed(tabbed);
        card.setObject(&patient);
        BasePropertyListWidget *form = card.editor();
        QCOMPARE(form->objectName(), QStringLiteral("uneditable"));
        QCOMPARE(bool(qobject_cast<PropertyTabWidget *>(form)), tabbed);
        int fields = 0;
        for (QWidget *field : form->findChildren<QWidget *>()) {
            if (field->inherits("QLineEdit") || field->inherits("QAbstractSpinBox")
                || field->inherits("QComboBox"))
                QVERIFY2(!field->isEnabled() && ++fields, field->metaObject()->className());
        }
        QVERIFY(fields >= 20);

        // U+202E turns what follows around on screen: the card writes it out, also
        // after a change, while the dialog's field keeps the value to be edited.
        const QString disguised = QStringLiteral("Petrov\u202Evonavi");
        patient.setLastName(disguised);
        QCOMPARE(shown(form, "LastName"), QStringLiteral("Petrov<U+202E>vonavi"));
        QCOMPARE(shown(PatientDialog(&patient, nullptr).form(), "LastName"), disguised);
        form->setEditorsEnabled(true);
        QCOMPARE(shown(form, "LastName"), disguised);
    }

    void oneFormForEveryPatient()
    {
        Patient first, second;
        first.setLastName("First");
        second.setLastName("Second");
        PatientEditor card;
        card.setTabbed(true);
        // Nothing is built for a card nobody sees.
        card.setObject(&first);
        QVERIFY(!card.editor() && card.findChildren<QWidget *>().isEmpty());
        card.show();
        QPointer<BasePropertyListWidget> form = card.editor();
        auto *tabs = qobject_cast<PropertyTabWidget *>(form)->getTabWidget();
        tabs->setCurrentIndex(1);

        // The next patient fills in the same form, from its first tab, and the former
        // patient's changes no longer reach it.
        card.setObject(&second);
        QVERIFY(card.editor() == form && form->getSettings() == &second);
        QCOMPARE(shown(form, "LastName"), QStringLiteral("Second"));
        QCOMPARE(tabs->currentIndex(), 0);
        first.setLastName("Changed");
        second.setFirstName("Anna");
        QCOMPARE(shown(form, "LastName"), QStringLiteral("Second"));
        QCOMPARE(shown(form, "FirstName"), QStringLiteral("Anna"));

        // Nothing to show hides the form; the other presentation is a form of its own.
        card.setObject(nullptr);
        QVERIFY(!card.editor() && form->isHidden());
        card.setObject(&first);
        QVERIFY(card.editor() == form && !form->isHidden());
        card.setTabbed(false);
        QVERIFY(form.isNull() && card.editor()->inherits("PropertyListControl"));
        QCOMPARE(shown(card.editor(), "LastName"), QStringLiteral("Changed"));

        // A patient replaced by a reload leaves the card empty.
        auto *gone = new Patient;
        card.setObject(gone);
        delete gone;
        card.setTabbed(true);
        QVERIFY(!card.editor());
    }
};

KESTA_TEST_MAIN(TestPatientEditor)
#include "tst_patienteditor.moc"
