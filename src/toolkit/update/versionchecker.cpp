#include "toolkit/update/versionchecker.h"

#include "toolkit/util/apphelper.h"
#include "toolkit/util/clock.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <limits>

namespace
{

constexpr int MinPeriodSecs = 5;
constexpr qint64 MinRequestGapSecs = 5;
constexpr int DefaultTransferTimeoutMs = 30000;

QString serviceAddress;
int transferTimeoutMs = DefaultTransferTimeoutMs;

QString encoded(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

VersionChecker::VersionChecker()
    : network(new QNetworkAccessManager(this))
{
    qRegisterMetaType<VersionInfo>("VersionInfo");
    // Hosts move their pages, but an https answer must never come from plain http.
    network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

VersionChecker *VersionChecker::Instance()
{
    static VersionChecker *instance = new VersionChecker;
    return instance;
}

void VersionChecker::StartChecking(bool enabled, int periodSecs)
{
    VersionChecker *self = Instance();
    if (!self->timer) {
        self->timer = new QTimer(self);
        self->timer->setObjectName(QStringLiteral("versionCheckTimer"));
        connect(
            self->timer, &QTimer::timeout, self, &VersionChecker::FindNewVersionAsync, Qt::QueuedConnection);
    }
    self->enabled = enabled;
    if (!enabled) {
        self->timer->stop();
        return;
    }
    const qint64 periodMs = qint64(qMax(periodSecs, MinPeriodSecs)) * 1000;
    self->timer->start(int(qMin<qint64>(periodMs, std::numeric_limits<int>::max())));
    FindNewVersionAsync();
}

bool VersionChecker::switchedOff()
{
    const VersionChecker *self = Instance();
    return self->timer && !self->enabled;
}

void VersionChecker::FindNewVersionAsync()
{
    Instance()->findNewVersionAsync(
        QCoreApplication::applicationName(), AppHelper::appVersion(true), QLocale::system().name());
}

VersionInfo VersionChecker::findNewVersion(const QString &locale)
{
    return findNewVersion(QCoreApplication::applicationName(), AppHelper::appVersion(true), locale);
}

VersionInfo VersionChecker::findNewVersion(const QString &app, const QString &version, const QString &locale)
{
    VersionChecker *self = Instance();
    QNetworkReply *reply = self->sendRequest(app, version, locale);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    self->lastVersion = readAnswer(reply);
    return self->lastVersion;
}

VersionInfo VersionChecker::LastVersion()
{
    return Instance()->lastVersion;
}

bool VersionChecker::openLink(const QString &link)
{
    const QUrl url(link, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != "http" && scheme != "https"))
        return false;
    return QDesktopServices::openUrl(url);
}

void VersionChecker::setServiceAddress(const QString &address)
{
    serviceAddress = address;
}

void VersionChecker::setTransferTimeout(int msecs)
{
    transferTimeoutMs = msecs;
}

QUrl VersionChecker::fetchUrl(const QString &app, const QString &version, const QString &locale)
{
    QUrl url(serviceAddress.isEmpty() ? QStringLiteral(KESTA_VERSION_SERVICE_URL) : serviceAddress);
    // Encoded one by one: an OS name with "&" or "#" must not add a key or cut the query.
    const QString query = "app=" + encoded(app) + "&version=" + encoded(version)
        + "&locale=" + encoded(locale) + "&platform=" + encoded(AppHelper::OS())
        + "&os=" + encoded(AppHelper::OSName()) + "&osversion=" + encoded(AppHelper::OSVersion());
    url.setQuery(url.hasQuery() ? url.query(QUrl::FullyEncoded) + '&' + query : query);
    return url;
}

VersionInfo VersionChecker::parseVersionInfo(const QByteArray &bytes)
{
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    VersionInfo info;
    info.valid = object.value("valid").toBool();
    info.version = object.value("version").toString();
    info.date = object.value("date").toString();
    info.critical = object.value("critical").toBool();
    info.link = object.value("link").toString();
    info.changelog = object.value("changelog").toString();
    info.info = object.value("info").toString();
    return info;
}

void VersionChecker::findNewVersionAsync(const QString &app, const QString &version, const QString &locale)
{
    if (!ready)
        return;
    const qint64 now = Clock::secsSinceEpoch();
    // A clock set back counts as too close as well.
    if (lastRequestTime != 0 && now - lastRequestTime < MinRequestGapSecs)
        return;
    lastRequestTime = now;
    ready = false;

    QNetworkReply *reply = sendRequest(app, version, locale);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        lastVersion = readAnswer(reply);
        ready = true;
        emit versionFound(lastVersion);
    });
}

QNetworkReply *VersionChecker::sendRequest(const QString &app, const QString &version, const QString &locale)
{
    QNetworkReply *reply = network->get(QNetworkRequest(fetchUrl(app, version, locale)));
    // A deadline for the whole transfer: a server that trickles bytes must not keep the
    // checker busy for ever either. Aborting finishes the reply with an error.
    QTimer::singleShot(transferTimeoutMs, reply, &QNetworkReply::abort);
    return reply;
}

// Any failure, an HTTP error page included, is an empty answer.
VersionInfo VersionChecker::readAnswer(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return VersionInfo();
    return parseVersionInfo(reply->readAll());
}
