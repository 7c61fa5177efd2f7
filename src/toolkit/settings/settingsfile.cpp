#include "toolkit/settings/settingsfile.h"

#include "toolkit/util/platform.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>


namespace
{

// A path where a settings file may be read or replaced: nothing there yet, or a regular
// file of sane size. A named pipe would block the reader, a device could be endless.
bool usable(const QFileInfo &info, const char *action)
{
    if (!info.exists() && !info.isSymLink())
        return true;
    if (!info.isFile()) {
        qWarning().noquote() << "Settings file" << info.filePath() << "is not a regular file and is not"
                             << action;
        return false;
    }
    if (info.size() > SettingsFile::MaximumSize) {
        qWarning().noquote() << "Settings file" << info.filePath() << "is larger than"
                             << SettingsFile::MaximumSize << "bytes and is not" << action;
        return false;
    }
    return true;
}

const char LeftoverSuffix[] = ".saving";

// Puts the written file in the target's place in one step; a reader sees the old
// file or the new one, never a mix.
bool replaceWith(QTemporaryFile &temporary, const QString &path)
{
    const bool replaced = Platform::replaceFile(temporary.fileName(), path);
    if (replaced)
        temporary.setAutoRemove(false);
    return replaced;
}

bool writeDirectly(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

bool SettingsFile::read(const QString &path, QByteArray *bytes)
{
    const QFileInfo info(path);
    if (!info.exists() || !usable(info, "read"))
        return false;
    QFile file;
    // Checked again on the open file: what stood at the path a moment ago may have been
    // replaced by a pipe meanwhile.
    if (!Platform::openRegularFile(file, path, MaximumSize)) {
        qWarning().noquote() << "Settings file" << path << "cannot be read safely";
        return false;
    }
    *bytes = file.read(MaximumSize + 1);
    if (bytes->size() > MaximumSize) {
        qWarning().noquote() << "Settings file" << path << "grew beyond" << MaximumSize << "bytes while read";
        bytes->clear();
        return false;
    }
    return true;
}

bool SettingsFile::write(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (!usable(info, "written"))
        return false;
    // The temporary file carries a name of its own, so that removeLeftovers can never take
    // a file the user keeps beside it ("Settings.xml.backup").
    QTemporaryFile temporary(info.absoluteFilePath() + QStringLiteral(".XXXXXX") + LeftoverSuffix);
    if (temporary.open()) {
        temporary.setPermissions(info.exists() ? info.permissions()
                                               : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                    | QFile::ReadOther);
        if (temporary.write(bytes) == bytes.size() && temporary.flush() && Platform::syncToDisk(temporary)
            && replaceWith(temporary, path))
            return true;
        qWarning().noquote() << "Settings file" << path << "not written:" << temporary.errorString();
        return false;
    }
    // The folder takes no new file (read-only, immutable), yet the file itself may be
    // writable: better a direct write than settings that never stick.
    if (info.isFile() && writeDirectly(path, bytes))
        return true;
    qWarning().noquote() << "Settings file" << path << "not written:" << temporary.errorString();
    return false;
}

void SettingsFile::keepUnreadable(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0 || info.size() > MaximumSize)
        return;
    const QString kept = path + QStringLiteral(".bad");
    if (QFileInfo::exists(kept) || QFileInfo(kept).isSymLink()) {
        qWarning().noquote() << "Settings file" << path
                             << "could not be read; an earlier unreadable one is kept as" << kept;
        return;
    }
    // A copy leaves the file for the program to read what it can; a file that cannot even be
    // read is moved aside instead.
    if (QFile::copy(path, kept) || QFile::rename(path, kept))
        qWarning().noquote() << "Settings file" << path << "could not be read; kept as" << kept;
    else
        qWarning().noquote() << "Settings file" << path << "could not be read, nor kept as" << kept;
}

void SettingsFile::removeLeftovers(const QString &path)
{
    const QFileInfo info(path);
    const QString pattern = QRegularExpression::escape(info.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")
        + QRegularExpression::escape(QLatin1String(LeftoverSuffix));
    const QRegularExpression leftover(QRegularExpression::anchoredPattern(pattern));
    const QFileInfoList entries = info.absoluteDir().entryInfoList(
        { info.fileName() + QStringLiteral(".*") + LeftoverSuffix }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (!entry.isSymLink() && leftover.match(entry.fileName()).hasMatch())
            QFile::remove(entry.filePath());
    }
}
