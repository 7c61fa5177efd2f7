#include "db/care/backupencryption.h"

#include "toolkit/util/platform.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <cerrno>
#include <gpgme.h>
#include <memory>
#include <unistd.h>

namespace
{

// An OpenPGP packet's tag: 1 holds a session key for a public key, 3 one for a passphrase.
constexpr int PublicKeySessionTag = 1;
constexpr int PassphraseSessionTag = 3;
// The session-key packets stand first; a message to dozens of keys stays within this.
constexpr qint64 LeadBytes = 64 * 1024;

class Context
{
public:
    Context()
    {
        gpgme_check_version(nullptr);
        error = gpgme_new(&ctx);
        if (!error)
            error = gpgme_set_protocol(ctx, GPGME_PROTOCOL_OpenPGP);
    }
    ~Context()
    {
        if (ctx)
            gpgme_release(ctx);
    }
    Context(const Context &) = delete;
    Context &operator=(const Context &) = delete;

    gpgme_ctx_t ctx = nullptr;
    gpgme_error_t error = 0;
};

struct KeyDeleter {
    void operator()(gpgme_key_t key) const { gpgme_key_unref(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<gpgme_key_t>, KeyDeleter>;

struct DataDeleter {
    void operator()(gpgme_data_t data) const { gpgme_data_release(data); }
};
using Data = std::unique_ptr<std::remove_pointer_t<gpgme_data_t>, DataDeleter>;

QString errorText(gpgme_error_t error)
{
    return QString::fromLocal8Bit(gpgme_strerror(error));
}

QString keyName(gpgme_key_t key, const QString &fingerprint)
{
    return key && key->uids && key->uids->uid
        ? QStringLiteral("%1 (%2)").arg(fingerprint, QString::fromUtf8(key->uids->uid))
        : fingerprint;
}

// Why the key cannot take a backup now, or nothing when it can.
QString unusable(gpgme_key_t key, const QString &name)
{
    if (key->revoked)
        return BackupEncryption::tr("The key %1 is revoked.").arg(name);
    if (key->expired)
        return BackupEncryption::tr("The key %1 has expired.").arg(name);
    if (key->disabled || key->invalid)
        return BackupEncryption::tr("The key %1 is disabled or invalid.").arg(name);
    for (gpgme_subkey_t sub = key->subkeys; sub; sub = sub->next) {
        if (sub->can_encrypt && !sub->revoked && !sub->expired && !sub->disabled && !sub->invalid)
            return QString();
    }
    return BackupEncryption::tr("The key %1 has no part that can encrypt now (expired or revoked).")
        .arg(name);
}

// The key IDs of the session-key packets the file begins with.
QSet<QString> leadingKeyIds(const QString &path, int *firstTag)
{
    QSet<QString> ids;
    *firstTag = -1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ids;
    const QByteArray lead = file.read(LeadBytes);
    const auto byte = [&](int at) { return at < lead.size() ? int(uchar(lead.at(at))) : -1; };
    for (int at = 0; at < lead.size();) {
        const int first = byte(at);
        if (!(first & 0x80))
            break;
        int tag = 0;
        qint64 length = -1;
        int body = at + 1;
        if (first & 0x40) {
            tag = first & 0x3f;
            const int o1 = byte(at + 1);
            if (o1 < 192) {
                length = o1;
                body = at + 2;
            } else if (o1 < 224) {
                length = ((o1 - 192) << 8) + byte(at + 2) + 192;
                body = at + 3;
            } else if (o1 == 255) {
                length = (qint64(byte(at + 2)) << 24) | (byte(at + 3) << 16) | (byte(at + 4) << 8)
                    | byte(at + 5);
                body = at + 6;
            }
        } else {
            tag = (first >> 2) & 0x0f;
            const int bytes = (first & 3) == 3 ? 0 : 1 << (first & 3);
            length = bytes ? 0 : -1;
            for (int i = 0; i < bytes; ++i)
                length = (length << 8) | byte(at + 1 + i);
            body = at + 1 + bytes;
        }
        if (*firstTag < 0)
            *firstTag = tag;
        if (tag != PublicKeySessionTag || length < 10 || byte(body) != 3)
            break;
        ids.insert(QString::fromLatin1(lead.mid(body + 1, 8).toHex().toUpper()));
        at = int(body + length);
    }
    return ids;
}

struct CipherSource {
    int fd = -1;
    std::atomic<qint64> *consumed = nullptr;

    static ssize_t read(void *handle, void *buffer, size_t size)
    {
        auto *source = static_cast<CipherSource *>(handle);
        ssize_t got = 0;
        do
            got = ::read(source->fd, buffer, size);
        while (got < 0 && errno == EINTR);
        if (got > 0 && source->consumed)
            *source->consumed += got;
        return got;
    }
};

QString decryptFailure(gpgme_ctx_t ctx, gpgme_error_t error)
{
    if (gpgme_err_code(error) == GPG_ERR_NO_SECKEY) {
        QStringList ids;
        if (const gpgme_decrypt_result_t result = gpgme_op_decrypt_result(ctx)) {
            for (gpgme_recipient_t recipient = result->recipients; recipient; recipient = recipient->next)
                ids << QString::fromLatin1(recipient->keyid);
        }
        return BackupEncryption::tr("The backup is encrypted to keys whose secret part this user does not "
                                    "have: %1")
            .arg(ids.join(QStringLiteral(", ")));
    }
    if (gpgme_err_code(error) == GPG_ERR_CANCELED)
        return BackupEncryption::tr("Decrypting was cancelled.");
    return BackupEncryption::tr("The encrypted backup cannot be decrypted whole: %1").arg(errorText(error));
}

} // namespace

QStringList BackupEncryption::fingerprints(const QString &text)
{
    QStringList found;
    for (QString part : text.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts)) {
        if (part.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            part = part.mid(2);
        found << part.toUpper();
    }
    return found;
}

bool BackupEncryption::checkRecipients(const QStringList &fingerprints, QString *reason)
{
    if (fingerprints.isEmpty()) {
        *reason = tr("No key is named to encrypt the backup to.");
        return false;
    }
    Context context;
    if (context.error) {
        *reason = tr("OpenPGP is not available: %1").arg(errorText(context.error));
        return false;
    }
    static const QRegularExpression Full(QStringLiteral("^([0-9A-F]{40}|[0-9A-F]{64})$"));
    for (const QString &fingerprint : fingerprints) {
        // A short ID or a name could pick another key than the clinic's.
        if (!Full.match(fingerprint).hasMatch()) {
            *reason = tr("%1 is not a key's full fingerprint.").arg(fingerprint);
            return false;
        }
        gpgme_key_t found = nullptr;
        const gpgme_error_t error = gpgme_get_key(context.ctx, fingerprint.toLatin1().constData(), &found, 0);
        const Key key(found);
        if (error || !key) {
            *reason = gpgme_err_code(error) == GPG_ERR_EOF
                ? tr("The key %1 is not in the keyring.").arg(fingerprint)
                : tr("The key %1 cannot be read: %2").arg(fingerprint, errorText(error));
            return false;
        }
        *reason = unusable(key.get(), keyName(key.get(), fingerprint));
        if (!reason->isEmpty())
            return false;
    }
    return true;
}

bool BackupEncryption::isEncrypted(const QString &path)
{
    int tag = -1;
    leadingKeyIds(path, &tag);
    return tag == PublicKeySessionTag || tag == PassphraseSessionTag;
}

bool BackupEncryption::isAddressedTo(const QString &path, const QStringList &fingerprints)
{
    int tag = -1;
    const QSet<QString> ids = leadingKeyIds(path, &tag);
    if (ids.isEmpty())
        return false;
    Context context;
    for (const QString &fingerprint : fingerprints) {
        gpgme_key_t found = nullptr;
        if (context.error || gpgme_get_key(context.ctx, fingerprint.toLatin1().constData(), &found, 0))
            continue;
        const Key key(found);
        for (gpgme_subkey_t sub = key->subkeys; sub; sub = sub->next) {
            if (sub->keyid && ids.contains(QString::fromLatin1(sub->keyid).toUpper()))
                return true;
        }
    }
    return false;
}

bool BackupEncryption::encrypt(
    const QStringList &fingerprints, int plainFd, const Sink &sink, QString *reason)
{
    const Platform::QuietPipeWrites quiet;
    Context context;
    std::vector<Key> keys;
    std::vector<gpgme_key_t> list;
    for (const QString &fingerprint : fingerprints) {
        gpgme_key_t found = nullptr;
        if (!context.error)
            context.error = gpgme_get_key(context.ctx, fingerprint.toLatin1().constData(), &found, 0);
        keys.emplace_back(found);
        list.push_back(found);
    }
    list.push_back(nullptr);
    gpgme_data_t plain = nullptr;
    gpgme_data_t cipher = nullptr;
    gpgme_error_t error = context.error;
    if (!error)
        error = gpgme_data_new_from_fd(&plain, plainFd);
    const Data plainData(plain);
    gpgme_data_cbs callbacks {};
    callbacks.write = [](void *handle, const void *buffer, size_t size) -> ssize_t {
        if (!(*static_cast<const Sink *>(handle))(static_cast<const char *>(buffer), qint64(size))) {
            errno = EIO;
            return -1;
        }
        return ssize_t(size);
    };
    if (!error)
        error = gpgme_data_new_from_cbs(&cipher, &callbacks, const_cast<Sink *>(&sink));
    const Data cipherData(cipher);
    // The keys were named by full fingerprint and checked: no web of trust is asked.
    if (!error)
        error = gpgme_op_encrypt(context.ctx, list.data(), GPGME_ENCRYPT_ALWAYS_TRUST, plain, cipher);
    if (!error) {
        const gpgme_encrypt_result_t result = gpgme_op_encrypt_result(context.ctx);
        if (result && result->invalid_recipients) {
            *reason = tr("The key %1 cannot take the backup: %2")
                          .arg(QString::fromLatin1(result->invalid_recipients->fpr),
                              errorText(result->invalid_recipients->reason));
            return false;
        }
        return true;
    }
    *reason = tr("Encrypting failed: %1").arg(errorText(error));
    return false;
}

bool BackupEncryption::decrypt(
    const QString &path, int plainFd, std::atomic<qint64> *consumed, QString *reason)
{
    const Platform::QuietPipeWrites quiet;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.fileName() + QStringLiteral(": ") + file.errorString();
        return false;
    }
    Context context;
    CipherSource source { file.handle(), consumed };
    gpgme_data_cbs callbacks {};
    callbacks.read = &CipherSource::read;
    gpgme_data_t cipher = nullptr;
    gpgme_data_t plain = nullptr;
    gpgme_error_t error = context.error;
    if (!error)
        error = gpgme_data_new_from_cbs(&cipher, &callbacks, &source);
    const Data cipherData(cipher);
    if (!error)
        error = gpgme_data_new_from_fd(&plain, plainFd);
    const Data plainData(plain);
    if (!error)
        error = gpgme_op_decrypt(context.ctx, cipher, plain);
    // The reader stopped early and has its own reason.
    if (gpgme_err_code(error) == GPG_ERR_EPIPE)
        return false;
    if (error) {
        *reason = decryptFailure(context.ctx, error);
        return false;
    }
    const gpgme_decrypt_result_t result = gpgme_op_decrypt_result(context.ctx);
    if (result && result->unsupported_algorithm) {
        *reason = tr("The encrypted backup uses an unsupported algorithm: %1")
                      .arg(QString::fromLatin1(result->unsupported_algorithm));
        return false;
    }
    return true;
}
