// A stand-in for the recorder "DI Duvi.exe", so that an examination runs from end to end on
// any machine. Kesta starts it with one argument:
//
//     "DI Duvi.exe" /database        asks Kesta for the patient and the folders, records a
//                                    few seconds of synthetic EEG into an EDF+ file and
//                                    reports it with a comment
//     "DI Duvi.exe" "<path>.edf"     prints the header of that EDF file (exit 1 if unreadable)
//
// Kesta passes exactly one argument, so the simulator's own settings come from the
// environment:
//     KESTA_RECORDER_HOLD_MS     how long to stay running after recording (default 5000)
//     KESTA_RECORDER_SECONDS     length of the recording (default 10)
//     KESTA_RECORDER_COMMENT     the comment reported with the recording
//     KESTA_RECORDER_LOG         a file that gets a copy of everything printed
//     KESTA_RECORDER_MISBEHAVE   when set, first sends malformed and split requests, which
//                                must go unanswered
//
// Exit codes: 0 done, 1 unreadable file, 2 no connection or a bad or missing reply,
// 3 the recording could not be written.

#include "recorder/edfrecording.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTextCodec>
#include <QThread>
#include <cstdio>

namespace
{

constexpr quint16 Port = 2700;
constexpr int ConnectMs = 5000;
constexpr int ReplyMs = 3000;
// The exchange reads whatever arrives as one request: requests must not run together.
constexpr int RequestGapMs = 300;
// The exchange answers at once on loopback: a reply that has not come after the gap
// and this wait is not coming (a late one would spoil the next frame anyway).
constexpr int SilenceMs = 300;

QFile *logFile = nullptr;

void say(const QString &line, FILE *stream = stdout)
{
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
    if (logFile) {
        logFile->write(bytes);
        logFile->flush();
    }
}

int envNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value >= 0 ? value : fallback;
}

void pause(int ms)
{
    QThread::msleep(ulong(ms));
}

class Conversation
{
public:
    bool connectToKesta()
    {
        QDeadlineTimer deadline(ConnectMs);
        while (!deadline.hasExpired()) {
            socket.connectToHost(QHostAddress::LocalHost, Port);
            if (socket.waitForConnected(500))
                return true;
            socket.abort();
            pause(200);
        }
        return false;
    }

    // Sends a request and reads one reply frame, checked strictly: the code, a length field of
    // at least six digits, 0x00, exactly that many payload bytes ending in 0x00, nothing more,
    // and the expected number of fields. Empty list (and *error set) when anything is off.
    QStringList ask(const QByteArray &request, const QByteArray &code, int fieldCount, QString *error)
    {
        send(request);
        QByteArray reply;
        QElapsedTimer timer;
        timer.start();
        int expected = -1;
        while (expected < 0 || reply.size() < expected) {
            if (!socket.waitForReadyRead(int(qMax<qint64>(1, ReplyMs - timer.elapsed())))) {
                *error = reply.isEmpty() ? QStringLiteral("no reply") : QStringLiteral("incomplete reply %1").arg(shown(reply));
                return {};
            }
            reply += socket.readAll();
            const int zero = reply.indexOf('\0');
            if (expected < 0 && zero >= 0) {
                const QByteArray digits = reply.mid(3, zero - 3);
                bool number = digits.size() >= 6;
                for (const char c : digits)
                    number = number && c >= '0' && c <= '9';
                if (!reply.startsWith(code) || !number) {
                    *error = QStringLiteral("bad frame header %1").arg(shown(reply));
                    return {};
                }
                expected = zero + 1 + digits.toInt();
            }
        }
        // Anything after the frame is a fault of its own.
        if (socket.waitForReadyRead(100))
            reply += socket.readAll();
        const int headerEnd = reply.indexOf('\0') + 1;
        QByteArray payload = reply.mid(headerEnd);
        if (reply.size() != expected || !payload.endsWith('\0')) {
            *error = QStringLiteral("frame length or terminator wrong %1").arg(shown(reply));
            return {};
        }
        payload.chop(1);
        QStringList fields;
        QTextCodec *codec = QTextCodec::codecForLocale();
        for (const QByteArray &field : payload.split('\0'))
            fields.append(codec->toUnicode(field));
        if (fields.size() != fieldCount) {
            *error = QStringLiteral("%1 fields instead of %2 %3").arg(fields.size()).arg(fieldCount).arg(shown(reply));
            return {};
        }
        say(QStringLiteral("%1 -> %2 %3 bytes, fields: \"%4\"")
                .arg(QString::fromLatin1(request), QString::fromLatin1(code))
                .arg(reply.size())
                .arg(fields.join(QStringLiteral("\", \""))));
        return fields;
    }

    // Requests the exchange must leave unanswered.
    bool expectSilence(const QList<QByteArray> &pieces)
    {
        for (const QByteArray &piece : pieces)
            send(piece);
        const bool silent = !socket.waitForReadyRead(SilenceMs);
        const QString outcome = silent ? QStringLiteral("no reply, as expected")
                                       : QStringLiteral("UNEXPECTED REPLY %1").arg(shown(socket.readAll()));
        say(QStringLiteral("%1 -> %2").arg(QString::fromLatin1(pieces.join("|")), outcome), silent ? stdout : stderr);
        return silent;
    }

    void send(const QByteArray &message)
    {
        socket.write(message);
        socket.waitForBytesWritten(ReplyMs);
        pause(RequestGapMs);
    }

    void close()
    {
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState)
            socket.waitForDisconnected(1000);
    }

private:
    static QString shown(const QByteArray &bytes)
    {
        return QString::fromLatin1(bytes.toPercentEncoding(" /:._-"));
    }

    QTcpSocket socket;
};

int fail(int code, const QString &line)
{
    say(line, stderr);
    return code;
}

// Letters and digits of the patient's name, for the file name.
QString fileStem(const QString &name)
{
    QString stem;
    for (const QChar c : name) {
        if (c.unicode() < 0x80 && c.isLetterOrNumber())
            stem.append(c);
    }
    return stem.isEmpty() ? QStringLiteral("recording") : stem;
}

int record()
{
    Conversation kesta;
    if (!kesta.connectToKesta())
        return fail(2, QStringLiteral("cannot connect to 127.0.0.1:%1").arg(Port));
    say(QStringLiteral("connected to 127.0.0.1:%1").arg(Port));

    if (qEnvironmentVariableIsSet("KESTA_RECORDER_MISBEHAVE")) {
        bool silent = true;
        for (const QByteArray &request : { QByteArray("gii"), QByteArray("GII "), QByteArray("XYZ"), QByteArray("GIIGDD") })
            silent = kesta.expectSilence({ request }) && silent;
        // One request in two writes arrives as two texts, neither of which is a request.
        silent = kesta.expectSilence({ "G", "II" }) && silent;
        if (!silent)
            return fail(2, QStringLiteral("the exchange answered a request it should have ignored"));
    }

    QString error;
    QStringList identification, dataFolder, patient, folder;
    const struct {
        const char *request;
        const char *code;
        int fields;
        QStringList *answer;
    } questions[] = {
        { "GII", "SII", 1, &identification },
        { "GDD", "SDD", 1, &dataFolder },
        { "GSI", "SSI", 6, &patient },
        { "GSD", "SSD", 1, &folder },
    };
    for (const auto &question : questions) {
        *question.answer = kesta.ask(question.request, question.code, question.fields, &error);
        if (question.answer->isEmpty())
            return fail(2, QStringLiteral("%1: %2").arg(QLatin1String(question.request), error));
    }

    const QDateTime start = QDateTime::currentDateTime();
    const QString recordingName = QStringLiteral("EEG_") + start.toString(QStringLiteral("yyyy_MM_dd_HHmmss"));
    const RecordedPatient who { patient.at(0), patient.at(1), QDate::fromString(patient.at(3), Qt::ISODate) };
    const QString fileName = fileStem(who.name) + QStringLiteral(".edf");
    const QString recordingFolder =
        dataFolder.at(0) + QStringLiteral("/Data/") + folder.at(0) + QLatin1Char('/') + recordingName;
    if (!QDir().mkpath(recordingFolder))
        return fail(3, QStringLiteral("cannot create %1").arg(recordingFolder));
    const QString path = recordingFolder + QLatin1Char('/') + fileName;
    const int seconds = envNumber("KESTA_RECORDER_SECONDS", 10);
    const QString comment = qEnvironmentVariableIsSet("KESTA_RECORDER_COMMENT")
        ? qEnvironmentVariable("KESTA_RECORDER_COMMENT")
        : QStringLiteral("Simulated examination");
    const QString failure = EdfRecording::write(path, who, start, seconds, comment);
    if (!failure.isEmpty())
        return fail(3, QStringLiteral("%1: %2").arg(path, failure));
    say(QStringLiteral("recorded %1 s of %2 channels at %3 Hz into %4")
            .arg(seconds)
            .arg(EdfRecording::ChannelCount)
            .arg(EdfRecording::SampleRate)
            .arg(path));

    const QByteArray report = "SFN\\" + recordingName.toUtf8() + '\\' + fileName.toUtf8();
    kesta.send(report);
    say(QStringLiteral("sent %1").arg(QString::fromUtf8(report)));
    const QByteArray remark = "SRC " + comment.toUtf8();
    kesta.send(remark);
    say(QStringLiteral("sent %1").arg(QString::fromUtf8(remark)));

    const int hold = envNumber("KESTA_RECORDER_HOLD_MS", 5000);
    say(QStringLiteral("holding for %1 ms").arg(hold));
    pause(hold);
    kesta.close();
    say(QStringLiteral("done"));
    return 0;
}

int describe(QString path)
{
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    QStringList lines;
    const bool readable = EdfRecording::describe(path, &lines);
    for (const QString &line : qAsConst(lines))
        say(line, readable ? stdout : stderr);
    return readable ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QFile log(qEnvironmentVariable("KESTA_RECORDER_LOG"));
    if (!log.fileName().isEmpty() && log.open(QIODevice::Append | QIODevice::Text))
        logFile = &log;

    const QStringList arguments = app.arguments().mid(1);
    say(QStringLiteral("recorder simulator, arguments: %1").arg(arguments.join(QLatin1Char(' '))));
    if (arguments.isEmpty()) {
        say(QStringLiteral("nothing to do: start with /database or a quoted EDF file path"));
        return 0;
    }
    if (arguments.at(0) == QLatin1String("/database"))
        return record();
    return describe(arguments.at(0));
}
