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

static void recordSignals(ConfirmDialog &dialog, QStringList &log)
{
    QObject::connect(&dialog, &ConfirmDialog::accepted, [&log](bool &) { log.append("accepted"); });
    QObject::connect(&dialog, &ConfirmDialog::canceled, [&log] { log.append("canceled"); });
    QObject::connect(&dialog, &ConfirmDialog::declined, [&log] { log.append("declined"); });
    QObject::connect(&dialog, &ConfirmDialog::closed, [&log] { log.append("closed"); });
}

class TestConfirmDialog : public QObject
{
    Q_OBJECT
private slots:
    void captionsAndLayout()
    {
        // Two buttons stand at the two edges; with a third, all three stand at the right.
        ConfirmDialog two, three(nullptr, "Create", "Close", "Discard");
        for (ConfirmDialog *dialog : { &two, &three }) {
            dialog->resize(600, 200);
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QCOMPARE(button(*dialog, "cancel")->geometry().right(), dialog->width() - 1 - 8);
        }
        QCOMPARE(button(two, "positive")->text(), QString("Save"));
        QCOMPARE(button(two, "cancel")->text(), QString("Cancel"));
        QVERIFY(!button(two, "third"));
        QCOMPARE(button(three, "positive")->text(), QString("Create"));
        QCOMPARE(button(three, "third")->text(), QString("Discard"));
        QCOMPARE(button(three, "cancel")->text(), QString("Close"));
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
        QFETCH(QStringList, signalsSeen);
        QStringList log;
        ConfirmDialog dialog(nullptr, QString(), QString(), "Discard");
        recordSignals(dialog, log);
        bool refuse = true; // once
        connect(&dialog, &ConfirmDialog::accepted,
            [&refuse](bool &accept) { accept = !std::exchange(refuse, false); });
        QTimer::singleShot(0, &dialog, [&dialog, way] {
            QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
            dialog.setAcceptEnabled(true);
            if (way == "title bar") {
                QCloseEvent event; // what the window manager's close button delivers
                QApplication::sendEvent(&dialog, &event);
            } else if (way == "escape") {
                QTest::keyClick(&dialog, Qt::Key_Escape);
            } else {
                QTest::mouseClick(button(dialog, qPrintable(way)), Qt::LeftButton);
                if (way == "positive")
                    QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
            }
        });
        QCOMPARE(dialog.exec(), int(way == "positive" ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(log, signalsSeen);
    }
};

KESTA_TEST_MAIN(TestConfirmDialog)
#include "tst_confirmdialog.moc"
