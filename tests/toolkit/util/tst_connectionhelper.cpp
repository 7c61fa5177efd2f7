#include "support/testenvironment.h"

#include "toolkit/util/connectionhelper.h"

#include <QApplication>
#include <QTimer>

class TestConnectionHelper : public QObject
{
    Q_OBJECT
private slots:
    void clearCutsEveryHeldConnection();
    void destructionCuts();
    void staticClearOnAnyList();
};

void TestConnectionHelper::clearCutsEveryHeldConnection()
{
    QTimer source;
    int first = 0, second = 0, kept = 0;
    ConnectionHelper helper;
    helper << connect(&source, &QTimer::objectNameChanged, [&] { ++first; })
           << connect(&source, &QTimer::objectNameChanged, [&] { ++second; });
    connect(&source, &QTimer::objectNameChanged, [&] { ++kept; });
    QCOMPARE(helper.size(), 2);

    source.setObjectName("a");
    helper.clear();
    QCOMPARE(helper.size(), 0);
    source.setObjectName("b");
    QCOMPARE(first, 1);
    QCOMPARE(second, 1);
    QCOMPARE(kept, 2);
    helper.clear(); // twice is harmless
}

void TestConnectionHelper::destructionCuts()
{
    QTimer source;
    int calls = 0;
    {
        ConnectionHelper helper;
        helper << connect(&source, &QTimer::objectNameChanged, [&] { ++calls; });
        source.setObjectName("a");
    }
    source.setObjectName("b");
    QCOMPARE(calls, 1);
}

void TestConnectionHelper::staticClearOnAnyList()
{
    QTimer source;
    int calls = 0;
    QList<QMetaObject::Connection> list { connect(&source, &QTimer::objectNameChanged, [&] { ++calls; }) };
    ConnectionHelper::clear(list);
    QVERIFY(list.isEmpty());
    source.setObjectName("a");
    QCOMPARE(calls, 0);
}

KESTA_TEST_MAIN(TestConnectionHelper)
#include "tst_connectionhelper.moc"
