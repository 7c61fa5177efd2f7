#include "exchange/orvalisexchange.h"

#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/recordings/recordingfiles.h"
#include "exchange/loopbacksockets.h"
#include "toolkit/util/apphelper.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/texthelper.h"
#include "toolkit/util/zbackgroundthread.h"

#include <QDateTime>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextCodec>
#include <QTimer>
#include <algorithm>

Q_LOGGING_CATEGORY(lcExchange, "kesta.exchange", QtInfoMsg)

namespace
{

const QString Identification = QStringLiteral("HELLO HOSPITAL");
constexpr int LengthWidth = 6;

// A recording as "SFN\<type>_<yyyy>_<MM>_<dd>_<HHmmss>\<file>" reports it.
struct ReportedRecording {
    bool valid = false;
    // Both names are plain names inside the patient's folder: no "..", no path, no drive.
    bool inPatientFolder = false;
    QString type;
    QDateTime date;
    QString fileName;
};

// One name of a reported path that stays where it is put: not empty, "." or "..", and
// without "/" (a path of its own), ":" (a drive) or control characters.
bool staysInside(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char(':') || c.category() == QChar::Other_Control;
    });
}

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
    recording.inPatientFolder = staysInside(pieces.at(1)) && staysInside(pieces.at(2));
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

OrvalisExchange::OrvalisExchange(RecordingRegistration *registration, QObject *parent)
    : QObject(parent)
    , registration(registration)
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

void OrvalisExchange::setExpectedOwner(ExpectedOwner owner)
{
    expectedOwner = std::move(owner);
}

void OrvalisExchange::start()
{
    if (server)
        return;
    server = new QTcpServer(this);
    connect(server, &QTcpServer::newConnection, this, &OrvalisExchange::acceptConnections);
    listen();

    monitor = std::make_unique<ZBackgroundThread>(MonitorIntervalMs, true);
    connect(monitor.get(), &ZBackgroundThread::doWork, this, &OrvalisExchange::poll, Qt::DirectConnection);
    monitor->startWorking();
}

void OrvalisExchange::listen()
{
    if (!server)
        return;
    ++attempts;
    const bool retrying = listenRetry && listenRetry->isActive();
    if (server->listen(QHostAddress::LocalHost, Port)) {
        if (retrying) {
            listenRetry->stop();
            qCInfo(lcExchange).noquote()
                << QStringLiteral("Exchange port %1 free again, the recorder can connect").arg(Port);
        }
        return;
    }
    // Said once; the retries are silent until the port is had.
    if (retrying)
        return;
    const QString holder = LoopbackSockets::listenerOf(Port);
    qCWarning(lcExchange).noquote()
        << QStringLiteral("Exchange port %1 not available, the recorder cannot connect:").arg(Port)
        << server->errorString() + (holder.isEmpty() ? QString() : " (held by " + holder + ")")
            + QStringLiteral("; trying again every %1 ms").arg(ListenRetryMs);
    if (!listenRetry) {
        listenRetry = new QTimer(this);
        listenRetry->setInterval(ListenRetryMs);
        connect(listenRetry, &QTimer::timeout, this, &OrvalisExchange::listen);
    }
    listenRetry->start();
}

void OrvalisExchange::stop()
{
    if (listenRetry)
        listenRetry->stop();
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
    if (!isListening()) {
        RecorderLaunch refused;
        refused.outcome = RecorderLaunch::ExchangeClosed;
        refused.reason = LoopbackSockets::listenerOf(Port);
        return refused;
    }
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
        if (!peerIsOwn(peer)) {
            peer->abort();
            peer->deleteLater();
            continue;
        }
        // The socket is the context: its signals die with it.
        connect(peer, &QTcpSocket::readyRead, peer, [this, peer] { handleRequest(peer); });
        connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
    }
}

bool OrvalisExchange::peerIsOwn(QTcpSocket *peer)
{
    const QString expected = expectedOwner ? expectedOwner() : LoopbackSockets::ownUser();
    // A system that tells no owners at all leaves nothing to compare.
    if (expected.isEmpty())
        return true;
    const QString owner = LoopbackSockets::peerOwner(*peer);
    if (owner == expected)
        return true;
    qCWarning(lcExchange).noquote() << QStringLiteral("Connection from %1:%2 closed: %3")
                                           .arg(peer->peerAddress().toString())
                                           .arg(peer->peerPort())
                                           .arg(owner.isEmpty()
                                                   ? QStringLiteral("its owner is unknown")
                                                   : "it belongs to another user (" + owner + ")");
    return false;
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
        return last.recordId > 0 ? QStringLiteral("no reply: stored record %1").arg(last.recordId)
                                 : QStringLiteral("no reply: stored nothing");
    }
    if (request.startsWith(QLatin1String("SRC"))) {
        storeComment(request);
        if (last.recordId > 0)
            return QStringLiteral("no reply: comment of record %1").arg(last.recordId);
        return last.refusalKey > 0 ? QStringLiteral("no reply: comment of an unregistered recording")
                                   : QStringLiteral("no reply: no record to comment on");
    }
    return QStringLiteral("no reply: unknown request");
}

void OrvalisExchange::storeRecording(const QString &request)
{
    // Whatever fails below, a following comment must not land on an earlier recording,
    // which may be another patient's.
    last = {};
    const ReportedRecording recording = parseRecording(request);
    if (!recording.valid) {
        qCWarning(lcExchange).noquote() << "Recording report not understood, nothing stored:" << request;
        return;
    }
    if (!registration) {
        qCWarning(lcExchange).noquote() << "No database to store the recording in:" << request;
        return;
    }
    const RecordingRegistration::Recording reported { recording.fileName, recording.type, recording.date, {} };
    // Never stored: the records table would list and size whatever folder such a name leads to.
    if (!recording.inPatientFolder)
        last = registration->refuse(
            currentPatient(), reported, tr("Its name leads outside the patient's folder"), false);
    else
        last = registration->add(currentPatient(), reported);
}

void OrvalisExchange::storeComment(const QString &request)
{
    if (registration)
        registration->setComment(last, request.mid(3).trimmed().remove(QStringLiteral("AER")));
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
