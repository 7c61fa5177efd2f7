#include "db/moving/recordingcopy.h"

#include "db/care/backupchecksum.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

QByteArray checksumOf(QFile &file)
{
    BackupChecksum sum;
    QByteArray chunk;
    while (!(chunk = file.read(1 << 20)).isEmpty())
        sum.add(chunk.constData(), chunk.size());
    return sum.result();
}

} // namespace

bool RecordingCopy::copy(const QString &from, const QString &to, QString *reason)
{
    if (QFileInfo::exists(to)) {
        *reason = tr("%1 exists already").arg(to);
        return false;
    }
    const QString folder = QFileInfo(to).absolutePath();
    QString existing = folder;
    while (!QFileInfo::exists(existing))
        existing = QFileInfo(existing).absolutePath();
    if (!QDir().mkpath(folder)) {
        *reason = tr("%1 cannot be made").arg(folder);
        return false;
    }
    // undo() runs backwards: outermost first here, so that the innermost goes first.
    QStringList folders;
    for (QString each = folder; each.size() > existing.size(); each = QFileInfo(each).absolutePath())
        folders.prepend(each + QLatin1Char('/'));
    made += folders;
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *reason = tr("%1 cannot be copied: %2").arg(from, in.isOpen() ? out.errorString() : in.errorString());
        return false;
    }
    made.append(to);
    BackupChecksum sum;
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        sum.add(chunk.constData(), chunk.size());
        if (out.write(chunk) != chunk.size()) {
            *reason = tr("%1 cannot be written: %2").arg(to, out.errorString());
            return false;
        }
    }
    if (in.error() != QFile::NoError || !out.flush()) {
        *reason = tr("%1 cannot be copied: %2").arg(from, in.errorString());
        return false;
    }
    out.close();
    QFile back(to);
    if (!back.open(QIODevice::ReadOnly) || checksumOf(back) != sum.result()) {
        *reason = tr("The copy of %1 differs from it").arg(from);
        return false;
    }
    back.close();
    // The recording keeps its date, which the lists show.
    QFile stamp(to);
    if (stamp.open(QIODevice::ReadWrite))
        stamp.setFileTime(QFileInfo(from).lastModified(), QFileDevice::FileModificationTime);
    ++files;
    return true;
}

void RecordingCopy::undo()
{
    for (auto it = made.crbegin(); it != made.crend(); ++it) {
        if (it->endsWith(QLatin1Char('/')))
            QDir().rmdir(*it);
        else
            QFile::remove(*it);
    }
    made.clear();
    files = 0;
}
