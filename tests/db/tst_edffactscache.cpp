#include "db/edf/edffactscache.h"
#include "recorder/edfrecording.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QThreadPool>

namespace
{

QString write(
    const QString &path, int seconds, const QDateTime &start = QDateTime(QDate(2024, 3, 5), QTime(9, 0)))
{
    return EdfRecording::write(path, RecordedPatient { "Petrov Ivan", "A17", {} }, start, seconds, "Routine");
}

} // namespace

// Facts kept per file and read again exactly when the file changed.
class TestEdfFactsCache : public QObject
{
    Q_OBJECT
private slots:
    void changedFileIsReadAgain()
    {
        EdfFactsCache cache;
        QVERIFY(!cache.cached("rec.edf"));
        QCOMPARE(cache.facts("rec.edf").problem, EdfFacts::Problem::Missing);
        QCOMPARE(write("rec.edf", 10), QString());
        QCOMPARE(cache.facts("rec.edf").durationSeconds, 10.0);

        // Another length: another size.
        QCOMPARE(write("rec.edf", 20), QString());
        QCOMPARE(cache.cached("./rec.edf")->durationSeconds, 10.0); // never touches the disk
        QCOMPARE(cache.facts("rec.edf").durationSeconds, 20.0);

        // The same size, another start: the file's times tell.
        QFile file("rec.edf");
        const QDateTime modified = QFileInfo(file).lastModified();
        QCOMPARE(write("rec.edf", 20, QDateTime(QDate(2024, 3, 6), QTime(9, 0))), QString());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified.addSecs(5), QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(cache.facts("rec.edf").start.date(), QDate(2024, 3, 6));

        QVERIFY(QFile::remove("rec.edf"));
        QCOMPARE(cache.facts("rec.edf").problem, EdfFacts::Problem::Missing);
        QCOMPARE(cache.size(), 1);
    }

    void leastRecentlyUsedGo()
    {
        EdfFactsCache cache(2);
        for (const QString name : { "a.edf", "b.edf", "c.edf" }) {
            QCOMPARE(write(name, 1), QString());
            QVERIFY(cache.facts(name).readable());
        }
        QCOMPARE(cache.size(), 2);
        QVERIFY(!cache.cached("a.edf"));
        cache.clear();
        QVERIFY(!cache.cached("c.edf"));
    }

    void askedFromSeveralThreads()
    {
        EdfFactsCache cache;
        QCOMPARE(write("x.edf", 4), QString());
        QCOMPARE(write("y.edf", 6), QString());
        QAtomicInt wrong;
        QThreadPool pool;
        pool.setMaxThreadCount(6);
        for (int i = 0; i < 200; ++i) {
            pool.start([&, i] {
                const bool x = i % 3 == 0;
                if (cache.facts(x ? "x.edf" : "y.edf").durationSeconds != (x ? 4 : 6))
                    wrong.ref();
            });
        }
        pool.waitForDone();
        QCOMPARE(wrong.loadRelaxed(), 0);
        QCOMPARE(cache.size(), 2);
    }
};

KESTA_TEST_MAIN(TestEdfFactsCache)
#include "tst_edffactscache.moc"
