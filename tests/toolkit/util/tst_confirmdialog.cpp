#include "support/testenvironment.h"

#include "toolkit/util/confirmdialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace
{

QPushButton *button(ConfirmDialog &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(name);
}

// The dialog's signals in the order they came.
void recordSignals(ConfirmDialog &dialog, QStringList &log)
{
    QObject::connect(&dialog, &ConfirmDialog::accepted, [&log](bool &) { log.append("accepted"); });
    QObject::connect(&dialog, &ConfirmDialog::canceled, [&log] { log.append("canceled"); });
    QObject::connect(&dialog, &ConfirmDialog::declined, [&log] { log.append("declined"); });
    QObject::connect(&dialog, &ConfirmDialog::closed, [&log] { log.append("closed"); });
}

} // namespace

class TestConfirmDialog : public QObject
{
    Q_OBJECT
private slots:
    void captions();
    void acceptDisabledUntilEnabled();
    void handlerKeepsDialogOpen();
    void waysToClose_data();
    void waysToClose();
    void twoButtonsAtEdgesThreeAtRight();
};

void TestConfirmDialog::captions()
{
    ConfirmDialog plain;
    QCOMPARE(button(plain, "positive")->text(), QString("Save"));
    QCOMPARE(button(plain, "cancel")->text(), QString("Cancel"));
    QCOMPARE(plain.findChildren<QPushButton *>().size(), 2);
    QCOMPARE(button(plain, "positive")->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!plain.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));

    ConfirmDialog given(nullptr, "Create", "Close", "Discard");
    QCOMPARE(button(given, "positive")->text(), QString("Create"));
    QCOMPARE(button(given, "cancel")->text(), QString("Close"));
    QCOMPARE(button(given, "third")->text(), QString("Discard"));
}

void TestConfirmDialog::acceptDisabledUntilEnabled()
{
    QStringList log;
    ConfirmDialog dialog;
    recordSignals(dialog, log);
    dialog.show();
    QVERIFY(!button(dialog, "positive")->isEnabled());
    QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
    QVERIFY(log.isEmpty());
    QVERIFY(dialog.isVisible());

    dialog.setAcceptEnabled(true);
    QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
    QCOMPARE(log, QStringList({ "accepted", "closed" }));
}

void TestConfirmDialog::handlerKeepsDialogOpen()
{
    QStringList log;
    ConfirmDialog dialog;
    auto *name = new QLineEdit;
    dialog.addWidget(name);
    dialog.setAcceptEnabled(true);
    recordSignals(dialog, log);
    bool refuse = true;
    connect(&dialog, &ConfirmDialog::accepted, [&refuse](bool &accept) { accept = !refuse; });
    dialog.show();
    name->setText("Ivanov");

    QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(name->text(), QString("Ivanov"));
    QCOMPARE(log, QStringList { "accepted" });

    refuse = false;
    QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(log, QStringList({ "accepted", "accepted", "closed" }));
}

void TestConfirmDialog::waysToClose_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("signalsSeen");
    QTest::newRow("accept") << "positive" << int(QDialog::Accepted) << QStringList { "accepted", "closed" };
    QTest::newRow("cancel") << "cancel" << int(QDialog::Rejected) << QStringList { "canceled", "closed" };
    QTest::newRow("third") << "third" << int(QDialog::Rejected) << QStringList { "declined", "closed" };
    QTest::newRow("title bar") << "title bar" << int(QDialog::Rejected) << QStringList { "closed" };
    QTest::newRow("escape") << "escape" << int(QDialog::Rejected) << QStringList { "closed" };
}

void TestConfirmDialog::waysToClose()
{
    QFETCH(QString, way);
    QFETCH(int, result);
    QFETCH(QStringList, signalsSeen);
    QStringList log;
    ConfirmDialog dialog(nullptr, QString(), QString(), "Discard");
    dialog.setAcceptEnabled(true);
    recordSignals(dialog, log);
    QTimer::singleShot(0, &dialog, [&dialog, way] {
        if (way == "title bar") {
            QCloseEvent event; // what the window manager's close button delivers
            QApplication::sendEvent(&dialog, &event);
        } else if (way == "escape") {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        } else {
            QTest::mouseClick(button(dialog, qPrintable(way)), Qt::LeftButton);
        }
    });
    QCOMPARE(dialog.exec(), result);
    QCOMPARE(log, signalsSeen);
}

void TestConfirmDialog::twoButtonsAtEdgesThreeAtRight()
{
    ConfirmDialog two;
    two.resize(600, 200);
    two.show();
    QVERIFY(QTest::qWaitForWindowExposed(&two));
    QCOMPARE(button(two, "positive")->geometry().left(), 8);
    QCOMPARE(button(two, "cancel")->geometry().right(), two.width() - 1 - 8);

    ConfirmDialog three(nullptr, QString(), QString(), "Discard");
    three.resize(600, 200);
    three.show();
    QVERIFY(QTest::qWaitForWindowExposed(&three));
    const QRect accept = button(three, "positive")->geometry();
    const QRect third = button(three, "third")->geometry();
    const QRect cancel = button(three, "cancel")->geometry();
    QCOMPARE(cancel.right(), three.width() - 1 - 8);
    QVERIFY(cancel.left() - third.right() - 1 >= 10);
    QVERIFY(third.left() - accept.right() - 1 >= 10);
    QVERIFY(accept.left() > three.width() / 3);
}

KESTA_TEST_MAIN(TestConfirmDialog)
#include "tst_confirmdialog.moc"
