#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing a settings file without ever hanging on it, reading a huge
// one or destroying what stands at its path: only a regular file of at most
// MaximumSize bytes is read or replaced. A write goes to a temporary file beside
// the target ("<name>.XXXXXX.saving") renamed over it once complete, or, when the
// folder takes no new files but the file itself is writable, straight into the file.
class SettingsFile
{
public:
    static constexpr qint64 MaximumSize = 1024 * 1024;

    // The whole file; false, with a warning line for anything but a missing file,
    // when it is not a regular file, too large or unreadable.
    static bool read(const QString &path, QByteArray *bytes);
    // False, with a warning line, when nothing was written.
    static bool write(const QString &path, const QByteArray &bytes);
    // Before a file that could not be read is replaced: keeps it beside itself as
    // "<name>.bad", once (an earlier one is never replaced), so that what it held can
    // still be recovered. An empty file, or one that is never replaced anyway (not a
    // regular file, too large), is left as it is.
    static void keepUnreadable(const QString &path);
    // Removes the temporary files that a save interrupted by a crash left beside the file.
    static void removeLeftovers(const QString &path);
};
