#include "support/testenvironment.h"

#include "toolkit/util/confirmdialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

namespace {

QPushButton *button(ConfirmDialog &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(name);
}

}  // namespace

class TestConfirmDialog : public QObject
{
    Q_OBJECT
private slots:
    void defaultCaptionsAndNoThirdButton();
    void givenCaptions();
    void acceptDisabledUntilEnabled();
    void handlerKeepsDialogOpen();
    void acceptClosesModalRun();
    void cancelAndThirdButton();
    void titleBarCloseEmitsClosedOnly();
    void escapeClosesLikeTitleBar();
    void twoButtonsAtEdgesThreeAtRight();
    void contentAddedAboveButtons();
};

void TestConfirmDialog::defaultCaptionsAndNoThirdButton()
{
    ConfirmDialog dialog;
    QCOMPARE(button(dialog, "positive")->text(), QString("Save"));
    QCOMPARE(button(dialog, "cancel")->text(), QString("Cancel"));
    QVERIFY(!button(dialog, "third"));
    QCOMPARE(dialog.findChildren<QPushButton *>().size(), 2);
    QCOMPARE(button(dialog, "positive")->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
}

void TestConfirmDialog::givenCaptions()
{
    ConfirmDialog dialog(nullptr, "Create", "Close", "Discard");
    QCOMPARE(button(dialog, "positive")->text(), QString("Create"));
    QCOMPARE(button(dialog, "cancel")->text(), QString("Close"));
    QCOMPARE(button(dialog, "third")->text(), QString("Discard"));
}

void TestConfirmDialog::acceptDisabledUntilEnabled()
{
    ConfirmDialog dialog;
    int accepted = 0;
    connect(&dialog, &ConfirmDialog::accepted, [&accepted](bool &) { ++accepted; });
    dialog.show();
    QVERIFY(!button(dialog, "positive")->isEnabled());
    QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
    QCOMPARE(accepted, 0);
    QVERIFY(dialog.isVisible());

    dialog.setAcceptEnabled(true);
    QVERIFY(button(dialog, "positive")->isEnabled());
    dialog.setAcceptEnabled(false);
    QVERIFY(!button(dialog, "positive")->isEnabled());
}

void TestConfirmDialog::handlerKeepsDialogOpen()
{
    ConfirmDialog dialog;
    auto *name = new QLineEdit;
    dialog.addWidget(name);
    dialog.setAcceptEnabled(true);
    bool refuse = true;
    int asked = 0;
    connect(&dialog, &ConfirmDialog::accepted, [&](bool &accept) {
        ++asked;
        if (refuse)
            accept = false;
    });
    QSignalSpy closed(&dialog, &ConfirmDialog::closed);
    dialog.show();
    name->setText("Ivanov");

    QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
    QCOMPARE(asked, 1);
    QVERIFY(dialog.isVisible());
    QCOMPARE(closed.count(), 0);
    QCOMPARE(name->text(), QString("Ivanov"));

    refuse = false;
    QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton);
    QCOMPARE(asked, 2);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(closed.count(), 1);
}

void TestConfirmDialog::acceptClosesModalRun()
{
    ConfirmDialog dialog;
    dialog.setAcceptEnabled(true);
    QSignalSpy canceled(&dialog, &ConfirmDialog::canceled);
    QSignalSpy closed(&dialog, &ConfirmDialog::closed);
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::mouseClick(button(dialog, "positive"), Qt::LeftButton); });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(closed.count(), 1);
    QCOMPARE(canceled.count(), 0);
}

void TestConfirmDialog::cancelAndThirdButton()
{
    {
        ConfirmDialog dialog(nullptr, QString(), QString(), "Discard");
        QSignalSpy canceled(&dialog, &ConfirmDialog::canceled);
        QSignalSpy declined(&dialog, &ConfirmDialog::declined);
        QSignalSpy closed(&dialog, &ConfirmDialog::closed);
        QTimer::singleShot(0, &dialog, [&dialog] { QTest::mouseClick(button(dialog, "cancel"), Qt::LeftButton); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(canceled.count(), 1);
        QCOMPARE(declined.count(), 0);
        QCOMPARE(closed.count(), 1);
    }
    {
        ConfirmDialog dialog(nullptr, QString(), QString(), "Discard");
        QSignalSpy canceled(&dialog, &ConfirmDialog::canceled);
        QSignalSpy declined(&dialog, &ConfirmDialog::declined);
        QSignalSpy closed(&dialog, &ConfirmDialog::closed);
        QTimer::singleShot(0, &dialog, [&dialog] { QTest::mouseClick(button(dialog, "third"), Qt::LeftButton); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(canceled.count(), 0);
        QCOMPARE(declined.count(), 1);
        QCOMPARE(closed.count(), 1);
    }
}

void TestConfirmDialog::titleBarCloseEmitsClosedOnly()
{
    ConfirmDialog dialog(nullptr, QString(), QString(), "Discard");
    dialog.setAcceptEnabled(true);
    int accepted = 0;
    connect(&dialog, &ConfirmDialog::accepted, [&accepted](bool &) { ++accepted; });
    QSignalSpy canceled(&dialog, &ConfirmDialog::canceled);
    QSignalSpy declined(&dialog, &ConfirmDialog::declined);
    QSignalSpy closed(&dialog, &ConfirmDialog::closed);
    // What the window manager's close button delivers.
    QTimer::singleShot(0, &dialog, [&dialog] {
        QCloseEvent event;
        QApplication::sendEvent(&dialog, &event);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(closed.count(), 1);
    QCOMPARE(accepted, 0);
    QCOMPARE(canceled.count(), 0);
    QCOMPARE(declined.count(), 0);
}

void TestConfirmDialog::escapeClosesLikeTitleBar()
{
    ConfirmDialog dialog;
    QSignalSpy canceled(&dialog, &ConfirmDialog::canceled);
    QSignalSpy closed(&dialog, &ConfirmDialog::closed);
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(closed.count(), 1);
    QCOMPARE(canceled.count(), 0);
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

void TestConfirmDialog::contentAddedAboveButtons()
{
    ConfirmDialog dialog;
    auto *first = new QLineEdit;
    auto *second = new QLineEdit;
    dialog.addWidget(first);
    dialog.addWidget(second, 1, Qt::AlignRight);
    dialog.resize(400, dialog.sizeHint().height());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(first->parentWidget(), &dialog);
    QCOMPARE(first->geometry().top(), 8);
    QCOMPARE(second->geometry().top() - first->geometry().bottom() - 1, 4);
    QVERIFY(second->geometry().bottom() < button(dialog, "positive")->geometry().top());
    QCOMPARE(second->geometry().right(), dialog.width() - 1 - 8);
}

KESTA_TEST_MAIN(TestConfirmDialog)
#include "tst_confirmdialog.moc"
