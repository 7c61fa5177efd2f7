#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace kestatest
{

// A private GNUPGHOME for one test program, its keys made there on the spot
// (ed25519 to certify, cv25519 to encrypt: made in milliseconds), without a
// passphrase, so that gpg-agent decrypts without asking. Its agent is ended
// with it, and GNUPGHOME set back.
class TestKeys
{
public:
    TestKeys();
    ~TestKeys();
    bool isValid() const { return folder.isValid(); }
    QString home() const { return folder.path(); }

    // The new key's fingerprint, or an empty text. With `expired`, it was
    // made years ago and expired a day later.
    QString make(const QString &name, bool expired = false);
    bool removeSecret(const QString &fingerprint);
    // Imports the revocation gpg made beside the key when it made it.
    bool revoke(const QString &fingerprint);
    // Runs gpg in this home; its exit code, -1 when it did not finish.
    int gpg(const QStringList &arguments, QByteArray *output = nullptr);

private:
    QTemporaryDir folder;
    QByteArray homeBefore;
};

} // namespace kestatest
