#include "exchange/orvalisexchange.h"

#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/patient.h"
#include "db/record.h"
#include "db/recordingfiles.h"
#include "toolkit/util/apphelper.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/texthelper.h"
#include "toolkit/util/zbackgroundthread.h"

#include <QDateTime>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextCodec>

Q_LOGGING_CATEGORY(lcExchange, "kesta.exchange", QtInfoMsg)

namespace
{

const QString Identification = QStringLiteral("HELLO HOSPITAL");
constexpr int LengthWidth = 6;

// A recording as "SFN\<type>_<yyyy>_<MM>_<dd>_<HHmmss>\<file>" reports it.
struct ReportedRecording {
    bool valid = false;
    QString type;
    QDateTime date;
    QString fileName;
};

ReportedRecording parseRecording(const QString &request)
{
    ReportedRecording recording;
    const QStringList pieces = request.split(QLatin1Char('\\'));
    if (pieces.size() < 3)
        return recording;
    const RecordingFiles::FolderName folder = RecordingFiles::parseFolderName(pieces.at(1));
    if (!folder.valid)
        return recording;
    recording.valid = true;
    recording.type = folder.type;
    recording.date = folder.date;
    recording.fileName = pieces.at(1) + QLatin1Char('\\') + pieces.at(2);
    return recording;
}

// The data folder as the recorder is told it: forward slashes, no trailing slash.
QString dataFolderAnswer()
{
    QString folder = DataLocations::dataFolder();
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace

OrvalisExchange::OrvalisExchange(QObject *parent)
    : QObject(parent)
{
}

OrvalisExchange::~OrvalisExchange()
{
    stop();
}

void OrvalisExchange::setPatientSource(PatientSource source)
{
    patientSource = std::move(source);
}

void OrvalisExchange::setDatabase(Database *database)
{
    this->database = database;
}

void OrvalisExchange::start()
{
    if (server)
        return;
    server = new QTcpServer(this);
    connect(server, &QTcpServer::newConnection, this, &OrvalisExchange::acceptConnections);
    if (!server->listen(QHostAddress::LocalHost, Port))
        qCWarning(lcExchange).noquote() << QStringLiteral("Exchange port %1 not available, the recorder cannot connect:")
                                                .arg(Port)
                                         << server->errorString();

    monitor = std::make_unique<ZBackgroundThread>(MonitorIntervalMs, true);
    connect(monitor.get(), &ZBackgroundThread::doWork, this, &OrvalisExchange::poll, Qt::DirectConnection);
    monitor->startWorking();
}

void OrvalisExchange::stop()
{
    if (monitor) {
        monitor->stopWorking();
        // The destructor waits for the thread: poll never runs on a destroyed exchange.
        monitor.reset();
    }
    if (server) {
        server->close();
        // A closed conversation answers nothing more, even before its socket is gone.
        for (QTcpSocket *peer : server->findChildren<QTcpSocket *>())
            peer->abort();
        server->deleteLater();
        server = nullptr;
    }
}

bool OrvalisExchange::isListening() const
{
    return server && server->isListening();
}

RecorderLaunch OrvalisExchange::runRecorder(const QString &argument)
{
    return RecorderLauncher::launchRecorder(argument);
}

RecorderLaunch OrvalisExchange::runRecorderDatabase()
{
    return runRecorder(RecorderLauncher::DatabaseSwitch);
}

int OrvalisExchange::monitorCycles() const
{
    return monitor ? monitor->cycles() : 0;
}

QByteArray OrvalisExchange::frame(const QString &code, const QStringList &fields)
{
    QTextCodec *codec = QTextCodec::codecForLocale();
    QByteArray payload;
    for (const QString &field : fields) {
        payload += codec->fromUnicode(field);
        payload += '\0';
    }
    QByteArray frame = codec->fromUnicode(code);
    frame += TextHelper::zeroPad(payload.size(), LengthWidth).toLatin1();
    frame += '\0';
    frame += payload;
    return frame;
}

void OrvalisExchange::sendCommand(QIODevice *peer, const QString &code, const QStringList &fields)
{
    if (peer && peer->isOpen())
        peer->write(frame(code, fields));
}

void OrvalisExchange::acceptConnections()
{
    while (QTcpSocket *peer = server->nextPendingConnection()) {
        // The socket is the context: its signals die with it.
        connect(peer, &QTcpSocket::readyRead, peer, [this, peer] { handleRequest(peer); });
        connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
    }
}

void OrvalisExchange::handleRequest(QTcpSocket *peer)
{
    // No input framing: whatever one read returns is one request.
    QByteArray bytes = peer->readAll();
    const int end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    const QString request = QString::fromUtf8(bytes);
    const QString outcome = answer(peer, request);
    qCDebug(lcExchange).noquote() << "request" << request << "->" << outcome;
}

QString OrvalisExchange::answer(QTcpSocket *peer, const QString &request)
{
    const bool windowExists = bool(patientSource);
    Patient *patient = currentPatient();
    if (request == QLatin1String("GSI")) {
        if (!patient)
            return QStringLiteral("no reply: no patient");
        const QDate dob = patient->getDOB();
        sendCommand(peer, QStringLiteral("SSI"),
            { patient->fullName(), TextHelper::translit(patient->getPatientID()),
                QString::number(patient->age(), 'f', 0),
                dob.isValid() ? dob.toString(QStringLiteral("yyyy-MM-dd")) : QString(),
                QString::number(qRound64(patient->getHeight())), QString::number(qRound64(patient->getWeight())) });
        return QStringLiteral("reply SSI");
    }
    if (request == QLatin1String("GII")) {
        sendCommand(peer, QStringLiteral("SII"), { Identification });
        return QStringLiteral("reply SII");
    }
    if (request == QLatin1String("GSD")) {
        if (!patient)
            return QStringLiteral("no reply: no patient");
        const QString folderName = patient->folderName();
        // A hand-edited Subdirectory must not make the recorder write outside the patients' folder.
        if (!DataLocations::isPlainFolderName(folderName))
            return QStringLiteral("no reply: unusable folder name %1").arg(folderName);
        if (!FileUtilities::createIfNotExists(DataLocations::patientFolder(folderName)))
            qCWarning(lcExchange) << "Patient folder not created:" << DataLocations::patientFolder(folderName);
        sendCommand(peer, QStringLiteral("SSD"), { folderName });
        return QStringLiteral("reply SSD");
    }
    if (request == QLatin1String("GDD")) {
        if (!windowExists)
            return QStringLiteral("no reply: no window");
        sendCommand(peer, QStringLiteral("SDD"), { dataFolderAnswer() });
        return QStringLiteral("reply SDD");
    }
    if (request.startsWith(QLatin1String("SFN"))) {
        storeRecording(request);
        return lastRecordId > 0 ? QStringLiteral("no reply: stored record %1").arg(lastRecordId)
                                : QStringLiteral("no reply: stored nothing");
    }
    if (request.startsWith(QLatin1String("SRC"))) {
        storeComment(request);
        return lastRecordId > 0 ? QStringLiteral("no reply: comment of record %1").arg(lastRecordId)
                                : QStringLiteral("no reply: no record to comment on");
    }
    return QStringLiteral("no reply: unknown request");
}

void OrvalisExchange::storeRecording(const QString &request)
{
    // Whatever fails below, a following comment must not land on an earlier recording,
    // which may be another patient's.
    lastRecordId = 0;
    const ReportedRecording recording = parseRecording(request);
    Patient *patient = currentPatient();
    Database *db = targetDatabase();
    if (!recording.valid || !patient || !db)
        return;
    const int id = db->insertRecord(patient, recording.date, recording.fileName, recording.type, QString());
    lastRecordId = qMax(id, 0);
}

void OrvalisExchange::storeComment(const QString &request)
{
    Database *db = targetDatabase();
    if (lastRecordId <= 0 || !db)
        return;
    const QString comment = request.mid(3).trimmed().remove(QStringLiteral("AER"));
    // The record the patient lists, so that what shows it follows the change;
    // read on its own when the list has not been read.
    Record *shown = nullptr;
    Patient *patient = currentPatient();
    if (patient && patient->recordsAreRead()) {
        for (Record *record : patient->records()) {
            if (record->getRecordID() == lastRecordId)
                shown = record;
        }
    }
    const std::unique_ptr<Record> loaded(shown ? nullptr : db->loadRecord(lastRecordId));
    Record *record = shown ? shown : loaded.get();
    // The row mapping writes the column as the property changes.
    if (record && record->getComments() != comment)
        record->setComments(comment);
}

void OrvalisExchange::poll()
{
    const bool running = !AppHelper::findRunningApps({ RecorderLauncher::Executable }).isEmpty();
    if (recorderRunning.exchange(running) != running)
        emit orvalisIsRunning(running);
}

Patient *OrvalisExchange::currentPatient() const
{
    return patientSource ? patientSource() : nullptr;
}

Database *OrvalisExchange::targetDatabase() const
{
    if (database)
        return database;
    return KestaModel::Instance() ? KestaModel::Instance()->database() : nullptr;
}
