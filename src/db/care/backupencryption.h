#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <atomic>
#include <functional>

// OpenPGP for backups, through GPGME. Encrypting needs the recipients' public
// keys only, so a nightly job holds no secret; decrypting goes through the
// user's gpg-agent, which asks for any passphrase itself: this program never
// sees one. The files are standard: gpg decrypts them without this program.
class BackupEncryption
{
    Q_DECLARE_TR_FUNCTIONS(BackupEncryption)
public:
    // Fingerprints in a setting or on a command line, apart by commas or spaces.
    static QStringList fingerprints(const QString &text);
    // True when every fingerprint names a public key in the keyring that can
    // encrypt now (not missing, expired, revoked or disabled); else false with
    // the reason naming the key.
    static bool checkRecipients(const QStringList &fingerprints, QString *reason);
    // Whether the file begins as an OpenPGP encrypted message.
    static bool isEncrypted(const QString &path);
    // Whether it is one addressed to at least one of these keys: an earlier
    // encrypted backup a new one may replace.
    static bool isAddressedTo(const QString &path, const QStringList &fingerprints);

    // Encrypts everything read from plainFd until its end, handing what comes
    // out to `sink`, which returns false when it cannot take it.
    using Sink = std::function<bool(const char *data, qint64 size)>;
    static bool encrypt(const QStringList &fingerprints, int plainFd, const Sink &sink, QString *reason);
    // Decrypts the file into plainFd; *consumed counts the encrypted bytes read.
    // A message that does not decrypt whole (damaged, cut short, for another
    // key) ends false with the reason.
    static bool decrypt(const QString &path, int plainFd, std::atomic<qint64> *consumed, QString *reason);
};
