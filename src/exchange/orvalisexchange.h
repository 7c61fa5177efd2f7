#pragma once

#include "db/recordings/recordingregistration.h"
#include "exchange/recorderlauncher.h"

#include <QLoggingCategory>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class Patient;
class QIODevice;
class QTcpServer;
class QTcpSocket;
class QTimer;
class ZBackgroundThread;

// Each request the recorder sends and what became of it, at debug level; warnings (the port
// taken) always. Debug is off unless enabled ("kesta.exchange.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcExchange)

// The program's side of the conversation with the recorder: a TCP server on 127.0.0.1:2700
// that answers the recorder's questions about the current patient and stores the recordings
// it reports, and a monitor that signals whether the recorder runs.
//
// Every connection is a conversation of its own: a request is answered on the socket it came
// from, and a peer leaving closes only its own socket. Only programs of this user are
// answered: the recorder runs as the user of this program, and any other local account could
// otherwise read the selected patient and file recordings under it.
class OrvalisExchange : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 Port = 2700;
    static constexpr unsigned MonitorIntervalMs = 1000;
    // While the port is taken, listening is tried again this often.
    static constexpr int ListenRetryMs = 2000;

    // Reported recordings and their comments are stored through `registration`; without one,
    // they are only logged.
    explicit OrvalisExchange(RecordingRegistration *registration, QObject *parent = nullptr);
    ~OrvalisExchange() override;

    // The main window's current patient, asked anew for every request. Unset means there is
    // no window: then only "GII" is answered. A source that returns null means no patient.
    using PatientSource = std::function<Patient *()>;
    void setPatientSource(PatientSource source);
    // The user whose programs are answered, as LoopbackSockets::peerOwner gives it; unset,
    // this process's user. Test seam.
    using ExpectedOwner = std::function<QString()>;
    void setExpectedOwner(ExpectedOwner owner);

    // Listens and starts the process monitor. While the port is taken, listening is tried
    // again every ListenRetryMs; the log has a line for each change. The monitor runs
    // regardless.
    void start();
    // Closes the server with its connections and ends the monitor, waiting for its thread.
    void stop();
    bool isListening() const;
    // Attempts to listen so far.
    int listenAttempts() const { return attempts; }

    // Start the recorder, unless the exchange does not listen: a recorder started then could
    // not talk to this program (or would talk to whatever holds the port).
    RecorderLaunch runRecorder(const QString &argument);
    RecorderLaunch runRecorderDatabase();

    // Writes one reply frame to the peer if it is still open; otherwise drops it.
    static void sendCommand(QIODevice *peer, const QString &code, const QStringList &fields);
    // Code, payload length in six digits, 0x00, then each field followed by 0x00, in the
    // local 8-bit encoding.
    static QByteArray frame(const QString &code, const QStringList &fields);

    // Polls made by the monitor so far.
    int monitorCycles() const;

signals:
    // Emitted on the monitor's thread, once for every change: connect it queued.
    void orvalisIsRunning(bool on);

private:
    void listen();
    void acceptConnections();
    bool peerIsOwn(QTcpSocket *peer);
    void handleRequest(QTcpSocket *peer);
    // "reply" and its code, or "no reply" and why.
    QString answer(QTcpSocket *peer, const QString &request);
    void storeRecording(const QString &request);
    void storeComment(const QString &request);
    void poll();

    Patient *currentPatient() const;

    std::atomic<bool> recorderRunning { false };
    QTcpServer *server = nullptr;
    QTimer *listenRetry = nullptr;
    int attempts = 0;
    std::unique_ptr<ZBackgroundThread> monitor;
    // The recording that a following comment belongs to: a record, an unregistered one, or none.
    RecordingRegistration::Outcome last;
    PatientSource patientSource;
    QPointer<RecordingRegistration> registration;
    ExpectedOwner expectedOwner;
};
