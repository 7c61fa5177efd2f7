#include "support/testenvironment.h"

#include "toolkit/util/confirmdialog.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <utility>

static QPushButton *button(ConfirmDialog &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(name);
}

class TestConfirmDialog : public QObject
{
    Q_OBJECT
private slots:
    void captionsAndLayout()
    {
        // Two buttons stand at the two edges; with a third, all three stand at the right.
        ConfirmDialog two, three(nullptr, "Create", "Close", "Discard");
        QStringList captions;
        for (ConfirmDialog *dialog : { &two, &three }) {
            dialog->resize(600, 200);
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QCOMPARE(button(*dialog, "cancel")->geometry().right(), dialog->width() - 1 - 8);
            for (const char *name : { "positive", "third", "cancel" })
                captions << (button(*dialog, name) ? button(*dialog, name)->text() : "-");
        }
        QCOMPARE(captions, QStringList({ "Save", "-", "Cancel", "Create", "Discard", "Close" }));
        QCOMPARE(button(two, "positive")->x(), 8);
        QVERIFY(button(three, "positive")->x() > three.width() / 3);
        QVERIFY(button(three, "positive")->x() < button(three, "third")->x());
    }

    void acceptAndWaysToClose_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QStringList>("signalsSeen");
        // Every way starts with a click on accept while it is disabled: nothing may happen. The
        // handler refuses the first accept, which must keep the dialog open.
        QTest::newRow("accept") << "positive" << QStringList { "accepted", "accepted", "closed" };
        QTest::newRow("cancel") << "cancel" << QStringList { "canceled", "closed" };
        QTest::newRow("third") << "third" << QStringList { "declined", "closed" };
        QTest::newRow("title bar") << "title bar" << QStringList { "closed" };
        QTest::newRow("escape") << "escape" << QStringList { "closed" };
    }

    void acceptAndWaysToClose()
    {
        QFETCH(QString, way);
        QStringList log;
        ConfirmDialog dialog(nullptr, QString(), QString(), "Discard");
        bool refuse = true; // once
        connect(&dialog, &ConfirmDialog::accepted, [&](bool &accept) {
            log << "accepted";
            accept = !std::exchange(refuse, false);
        });
        connect(&dialog, &ConfirmDialog::canceled, [&log] { log << "canceled"; });
        connect(&dialog, &ConfirmDialog::declined, [&log] { log << "declined"; });
        connect(&dialog, &ConfirmDialog::closed, [&log] { log << "closed"; });
        QTimer::singleShot(0, &dialog, [&dialog, way] {
            QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
            dialog.setAcceptEnabled(true);
            QCloseEvent close; // what the window manager's close button delivers
            if (way == "title bar")
                QApplication::sendEvent(&dialog, &close);
            else if (way == "escape")
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                QTest::mouseClick(button(dialog, qPrintable(way)), Qt::LeftButton);
            if (way == "positive")
                QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(way == "positive" ? QDialog::Accepted : QDialog::Rejected));
        QTEST(log, "signalsSeen");
    }
};

KESTA_TEST_MAIN(TestConfirmDialog)
#include "tst_confirmdialog.moc"
