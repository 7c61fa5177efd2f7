#pragma once

#include <QByteArray>
#include <xxhash.h>

// The checksum of a backup's files: XXH3 with 128 bits. It finds damage (a
// changed byte, a cut-off file) as surely as a cryptographic hash and costs a
// fraction of the reading; a cryptographic one would add no protection, since
// whoever can change an archive can change its manifest too.
class BackupChecksum
{
public:
    BackupChecksum()
        : state(XXH3_createState())
    {
        XXH3_128bits_reset(state);
    }
    ~BackupChecksum() { XXH3_freeState(state); }
    BackupChecksum(const BackupChecksum &) = delete;
    BackupChecksum &operator=(const BackupChecksum &) = delete;

    // Starts again, for the next file.
    void reset() { XXH3_128bits_reset(state); }
    void add(const char *data, qint64 size) { XXH3_128bits_update(state, data, size_t(size)); }
    QByteArray result() const
    {
        XXH128_canonical_t canonical;
        XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state));
        return QByteArray(reinterpret_cast<const char *>(canonical.digest), int(sizeof canonical.digest));
    }
    static QByteArray of(const QByteArray &data)
    {
        BackupChecksum checksum;
        checksum.add(data.constData(), data.size());
        return checksum.result();
    }

private:
    XXH3_state_t *state;
};
