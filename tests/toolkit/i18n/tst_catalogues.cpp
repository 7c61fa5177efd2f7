#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

// Every language's catalogues are loaded together, and for a text that two of
// them translate the one loaded last wins: each context and source text has
// one catalogue that translates it, the others leave it unfinished.
class TestCatalogues : public QObject
{
    Q_OBJECT

private slots:
    void eachTextHasOneOwningCatalogue_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("ru_RU") << QString("ru_RU");
        QTest::newRow("en_US") << QString("en_US");
    }
    void eachTextHasOneOwningCatalogue()
    {
        QFETCH(QString, language);
        const QDir folder(QStringLiteral(KESTA_TRANSLATIONS_DIR));
        const QStringList files = folder.entryList({ "*_" + language + ".ts" }, QDir::Files, QDir::Name);
        QVERIFY(files.size() > 1);
        QHash<QString, QString> owners;
        QStringList twice;
        for (const QString &file : files) {
            QFile catalogue(folder.filePath(file));
            QVERIFY(catalogue.open(QIODevice::ReadOnly));
            QXmlStreamReader xml(&catalogue);
            QString context, source;
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == QLatin1String("name")) {
                    context = xml.readElementText();
                } else if (xml.name() == QLatin1String("source")) {
                    source = xml.readElementText();
                } else if (xml.name() == QLatin1String("translation")) {
                    const bool finished = xml.attributes().value("type").isEmpty();
                    const QString key = context + " / " + source;
                    if (finished && owners.contains(key))
                        twice << key + ": " + owners.value(key) + ", " + file;
                    else if (finished)
                        owners.insert(key, file);
                }
            }
            QVERIFY2(!xml.hasError(), qPrintable(file + ": " + xml.errorString()));
        }
        QVERIFY2(twice.isEmpty(), qPrintable(twice.join(QLatin1Char('\n'))));
    }
};

KESTA_TEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
