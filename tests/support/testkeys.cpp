#include "support/testkeys.h"

#include <QProcess>

namespace kestatest
{

TestKeys::TestKeys()
    : folder(QDir::tempPath() + "/gpg-XXXXXX")
{
    QFile::setPermissions(
        folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    homeBefore = qgetenv("GNUPGHOME");
    qputenv("GNUPGHOME", QFile::encodeName(folder.path()));
}

TestKeys::~TestKeys()
{
    QProcess::execute("gpgconf", { "--kill", "gpg-agent" });
    if (homeBefore.isEmpty())
        qunsetenv("GNUPGHOME");
    else
        qputenv("GNUPGHOME", homeBefore);
}

int TestKeys::gpg(const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.start("gpg",
        QStringList { "--batch", "--no-tty", "--pinentry-mode", "loopback", "--passphrase", "" } + arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString TestKeys::make(const QString &name, bool expired)
{
    const QString user = name + " <" + name.toLower() + "@clinic.test>";
    QStringList arguments { "--quick-gen-key", user, "future-default", "default", expired ? "1d" : "never" };
    if (expired)
        arguments.prepend("--faked-system-time=20200101T000000!");
    QByteArray listing;
    if (gpg(arguments) != 0 || gpg({ "--with-colons", "--list-keys", user }, &listing) != 0)
        return QString();
    for (const QByteArray &line : listing.split('\n')) {
        if (line.startsWith("fpr:"))
            return QString::fromLatin1(line.split(':').value(9));
    }
    return QString();
}

bool TestKeys::removeSecret(const QString &fingerprint)
{
    return gpg({ "--yes", "--delete-secret-keys", fingerprint }) == 0;
}

bool TestKeys::revoke(const QString &fingerprint)
{
    // Kept with a colon before its first line, so that it is not imported by mistake.
    QFile certificate(folder.filePath("openpgp-revocs.d/" + fingerprint + ".rev"));
    if (!certificate.open(QIODevice::ReadOnly))
        return false;
    QByteArray text = certificate.readAll();
    text.replace(":-----BEGIN PGP PUBLIC KEY BLOCK-----", "-----BEGIN PGP PUBLIC KEY BLOCK-----");
    QFile armored(folder.filePath("revocation.asc"));
    if (!armored.open(QIODevice::WriteOnly) || armored.write(text) != text.size())
        return false;
    armored.close();
    return gpg({ "--import", armored.fileName() }) == 0;
}

} // namespace kestatest
