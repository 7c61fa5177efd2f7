#include "app/conclusioneditor.h"
#include "app/printing/listpage.h"
#include "app/printing/patientpage.h"
#include "app/printing/tracepage.h"
#include "db/edf/edfsamples.h"
#include "db/model/datalocations.h"
#include "db/rows/conclusions.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "recorder/edfrecording.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/workstation.h"

#include <QImage>
#include <QPlainTextEdit>
#include <QProcess>
#include <memory>

using namespace kestatest;

namespace
{

// The text of a PDF, or of one of its pages, as poppler reads it.
QString pdfText(const QString &path, int page = 0)
{
    QStringList arguments { "-layout" };
    if (page > 0)
        arguments << "-f" << QString::number(page) << "-l" << QString::number(page);
    QProcess tool;
    tool.start("pdftotext", arguments << path << "-");
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return "pdftotext failed: " + tool.errorString() + tool.readAllStandardError();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

} // namespace

// The printed pages, written as PDF and read back with poppler's tools.
class TestPrinting : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;
    Conclusions *conclusions = nullptr;

    Patient *petrov()
    {
        if (addPatient(*db, "A17", QString::fromUtf8("Петров"), QString::fromUtf8("Иван"), 1,
                QDate(1980, 5, 1), QString::fromUtf8("Тверь"))
            != 100)
            return nullptr;
        return db->patientById(100);
    }

private slots:
    void init()
    {
        LanguageContext::setLanguage("en_US");
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        QVERIFY(db->isUsable());
        conclusions = Conclusions::of(db.get());
        Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(9, 30), Qt::UTC));
    }
    void cleanup() { db.reset(); }

    // 200 recordings take several pages, each under the table's captions,
    // every recording once and in order.
    void manyRecordingsOverPages()
    {
        Patient *patient = petrov();
        QVERIFY(patient);
        {
            Database::Transaction write(db.get());
            for (int i = 0; i < 200; ++i)
                db->insertRecord(patient, QDateTime(QDate(2020, 1, 1), QTime(9, 0)).addDays(i),
                    QString("EEG_%1\\r.edf").arg(i), "EEG", QString("take %1 end").arg(i));
            QVERIFY(write.commit());
        }
        QCOMPARE(patient->records().size(), 200);
        // A conclusion longer than a page continues on the next.
        QStringList lines;
        for (int i = 0; i < 90; ++i)
            lines << QString("finding %1 noted").arg(i);
        QVERIFY(conclusions->write(patient->records().at(100), lines.join('\n')));
        QVERIFY(PatientPage::writePdf("many.pdf", patient, conclusions, QString()));
        const QString all = pdfText("many.pdf");
        const int pages = all.count("\f");
        QVERIFY2(pages >= 4, qPrintable(QString::number(pages)));
        // Newest first, as the records table shows them, each once.
        int next = 199;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfText("many.pdf", page);
            QVERIFY(text.contains(QString("page %1 of %2").arg(page).arg(pages)));
            QVERIFY2(text.contains("Channels") && text.contains("Comments"), qPrintable(text));
            int at = 0;
            while ((at = text.indexOf(QString("take %1 end").arg(next), at)) >= 0)
                --next;
        }
        QCOMPARE(next, -1);
        int from = 0;
        for (const QString &line : qAsConst(lines)) {
            from = all.indexOf(line, from);
            QVERIFY2(from >= 0, qPrintable(line));
        }
    }

    // A second on paper is 30 mm: the page drawn at 254 dpi (10 pixels a
    // millimetre) has its axis ticks 300 pixels apart.
    void theTracePageIsTrueToScale()
    {
        const QString edf = "trace.edf";
        QCOMPARE(EdfRecording::write(edf, EdfRecording::scalpLayout(19, 12), { "Petrov Ivan", "A17", {} },
                     QDateTime(QDate(2024, 3, 5), QTime(14, 25)), "Routine"),
            QString());
        TracePage::Content content;
        content.title = "Petrov Ivan";
        content.conclusion.text = QString::fromUtf8("Норма");
        const TracePage::Options options;
        QVERIFY(TracePage::writePdf("trace.pdf", TracePage::read(edf, options), options, content));
        const QString text = pdfText("trace.pdf");
        QVERIFY2(text.contains("Fp1") && text.contains("30 mm/s") && text.contains(QString::fromUtf8("Норма"))
                && text.contains("page 1 of 2"),
            qPrintable(text));

        QProcess render;
        render.start(
            "pdftoppm", { "-r", "254", "-gray", "-png", "-f", "1", "-l", "1", "trace.pdf", "trace" });
        QVERIFY(render.waitForFinished(60000) && render.exitCode() == 0);
        QImage page("trace-1.png");
        QVERIFY(!page.isNull());
        page = page.convertToFormat(QImage::Format_Grayscale8);
        const auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
        // The axis: the longest dark row under which short ticks stand
        // 2 mm down, evenly spaced.
        QList<int> spacings;
        for (int y = page.height() / 2; y < page.height() - 30 && spacings.isEmpty(); ++y) {
            int run = 0, longest = 0, end = 0;
            for (int x = 0; x < page.width(); ++x) {
                run = dark(x, y) ? run + 1 : 0;
                if (run > longest)
                    longest = run, end = x;
            }
            if (longest < 1000)
                continue;
            QList<int> ticks;
            for (int x = end - longest; x <= end + 3; ++x) {
                if (dark(x, y + 20) && !dark(x - 1, y + 20))
                    ticks << x;
            }
            if (ticks.size() < 5)
                continue;
            for (int i = 1; i < ticks.size(); ++i)
                spacings << ticks.at(i) - ticks.at(i - 1);
        }
        QVERIFY(!spacings.isEmpty());
        for (int spacing : spacings)
            QVERIFY2(qAbs(spacing - 300) <= 3, qPrintable(QString::number(spacing)));
    }

    // What is written under the preview is stored on choosing another
    // recording; what is stored meanwhile shows unless an edit is pending.
    void theConclusionUnderThePreview()
    {
        Patient *patient = petrov();
        QVERIFY(patient);
        QVERIFY(db->insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(9, 0)), "a.edf", "EEG", "") > 0);
        QVERIFY(db->insertRecord(patient, QDateTime(QDate(2024, 3, 6), QTime(9, 0)), "b.edf", "EEG", "") > 0);
        Record *first = patient->records().value(0);
        Record *second = patient->records().value(1);
        ConclusionEditor editor(conclusions);
        editor.setRecord(first);
        QTest::keyClicks(editor.textEdit(), "Normal EEG");
        editor.setRecord(second);
        QCOMPARE(conclusions->conclusionOf(first->getId()).text, QStringLiteral("Normal EEG"));
        QVERIFY(editor.textEdit()->toPlainText().isEmpty());
        QVERIFY(conclusions->write(second, "Slowing"));
        QCOMPARE(editor.textEdit()->toPlainText(), QStringLiteral("Slowing"));
        editor.textEdit()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor.textEdit(), " left");
        QVERIFY(conclusions->write(second, "Spikes"));
        QCOMPARE(editor.textEdit()->toPlainText(), QStringLiteral("Slowing left"));
    }

    // A long list under its captions on each page.
    void aListOverPages()
    {
        QList<QStringList> rows { { "PatientID", "Last name" } };
        for (int i = 0; i < 300; ++i)
            rows << QStringList { QString("P%1").arg(i), QString::fromUtf8("Смирнова %1").arg(i) };
        QVERIFY(ListPage::writePdf("list.pdf", rows, "Patients", "Clinic"));
        const QString all = pdfText("list.pdf");
        const int pages = all.count("\f");
        QVERIFY(pages >= 3);
        QCOMPARE(all.count("Last name"), pages);
        QVERIFY(all.contains(QString::fromUtf8("Смирнова 299")));
    }

    // Last: translators stack, and English leaves texts it does not change to
    // the catalogue below. The card's filled fields under their labels in the interface language,
    // Cyrillic intact, the recording whose file is gone as "missing" and its
    // conclusion; the frame names the clinic, workstation, user and page.
    void thePatientsPageInBothLanguages()
    {
        Patient *patient = petrov();
        QVERIFY(patient);
        QVERIFY(patient->setValue("Diagnosis", QString::fromUtf8("Эпилепсия?")));
        QVERIFY(db->insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(14, 25)), "EEG_1\\gone.edf",
                    "EEG", "eyes closed")
            > 0);
        QVERIFY(conclusions->write(patient->records().first(), QString::fromUtf8("Альфа-ритм сохранён")));

        QVERIFY(PatientPage::writePdf("en.pdf", patient, conclusions, QString::fromUtf8("Клиника «Север»")));
        const QString english = pdfText("en.pdf");
        for (const QString &expected : { QString::fromUtf8("Клиника «Север»"), QString::fromUtf8("Петров"),
                 QString::fromUtf8("Тверь"), QString::fromUtf8("Эпилепсия?"), QString("Last name"),
                 QString("Age"), QString("44"), QString("eyes closed"), QString("missing"),
                 QString("1980-05-01"), QString("2024-03-05 14:25"), QString::fromUtf8("Альфа-ритм сохранён"),
                 QString("page 1 of 1"), Workstation::hostName(), Workstation::userName() })
            QVERIFY2(english.contains(expected), qPrintable(expected + " not in:\n" + english));
        // Unfilled fields are left out.
        QVERIFY(!english.contains("Phone"));

        LanguageContext::setLanguage("ru_RU");
        QVERIFY(PatientPage::writePdf("ru.pdf", patient, conclusions, QString()));
        const QString russian = pdfText("ru.pdf");
        for (const char *expected : { "Фамилия", "Петров", "отсутствует", "Заключение", "страница 1 из 1", "01.05.1980" })
            QVERIFY2(russian.contains(QString::fromUtf8(expected)), qPrintable(russian));
    }
};

KESTA_TEST_MAIN(TestPrinting)
#include "tst_printing.moc"
