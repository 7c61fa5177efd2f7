#pragma once

#include "toolkit/update/versioninfo.h"

#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// Asks the version service whether a newer release exists, at start-up and then
// periodically, and announces every answer, an update or not, with versionFound. The
// service decides: the answer's `valid` flag is the verdict, versions are never compared
// here.
//
// The application wires it up: at start StartChecking(<CheckForNewVersion setting>, 600)
// and again with the new value whenever the setting changes; versionFound connected with
// a queued connection to its upgrade prompt, which opens the link with openLink.
class VersionChecker : public QObject
{
    Q_OBJECT
public:
    static VersionChecker *Instance();

    // Enabled: checks now and then every `periodSecs` seconds (at least 5). Disabled: stops
    // the periodic checks; a reply already on its way is still announced.
    static void StartChecking(bool enabled, int periodSecs);
    // True after StartChecking(false, ...) until it is enabled again.
    static bool switchedOff();

    // A check in the background with this program's name, three-part version and the
    // system locale; dropped while one is in flight or within 5 s of the previous request.
    static void FindNewVersionAsync();
    // A check that waits for its answer (other events run meanwhile), stores it as the last
    // version and returns it without announcing it.
    static VersionInfo findNewVersion(const QString &locale);
    static VersionInfo findNewVersion(const QString &app, const QString &version, const QString &locale);
    static VersionInfo LastVersion();

    // Opens an http or https link with the desktop's handler; anything else (files,
    // programs, other schemes) is refused with false.
    static bool openLink(const QString &link);

    // Test seams: the service's address (the build's address when empty) and how long a
    // request may take in all before it counts as a failed, empty answer.
    static void setServiceAddress(const QString &address);
    static void setTransferTimeout(int msecs);

signals:
    void versionFound(const VersionInfo &info);

protected:
    static QUrl fetchUrl(const QString &app, const QString &version, const QString &locale);
    static VersionInfo parseVersionInfo(const QByteArray &bytes);

private:
    VersionChecker();
    void findNewVersionAsync(const QString &app, const QString &version, const QString &locale);
    QNetworkReply *sendRequest(const QString &app, const QString &version, const QString &locale);
    static VersionInfo readAnswer(QNetworkReply *reply);

    QNetworkAccessManager *network;
    QTimer *timer = nullptr;
    VersionInfo lastVersion;
    qint64 lastRequestTime = 0;
    bool ready = true;
    bool enabled = false;
};
