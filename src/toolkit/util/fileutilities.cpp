#include "toolkit/util/fileutilities.h"

#include "toolkit/util/platform.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>


QString FileUtilities::FolderSlash(const QString &path)
{
    if (path.isEmpty())
        return path;
    QString result = path;
    result.replace('\\', '/');
    result.replace("//", "/");
    if (!result.endsWith('/'))
        result.append('/');
    return result;
}

bool FileUtilities::createIfNotExists(const QString &path)
{
    const QDir dir(path);
    return dir.exists() || dir.mkpath(".");
}

bool FileUtilities::clearFolder(const QString &path, bool removeOnly)
{
    QDir dir(path);
    if (!dir.exists())
        return false;
    const bool removed = dir.removeRecursively();
    if (removeOnly)
        return removed;
    qDebug() << "Creating dir" << path;
    // A folder that is not there again afterwards is no cleared folder: say so.
    return QDir().mkpath(path) && removed;
}

qint64 FileUtilities::dirsize(const QString &path)
{
    qint64 size = 0;
    const QFileInfoList entries = QDir(path).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir())
            size += dirsize(path + "/" + entry.fileName());
        else
            size += entry.size();
    }
    return size;
}

QString FileUtilities::filesizeNice(qint64 bytes, int precision)
{
    static const char *const units[] = {
        QT_TRANSLATE_NOOP("Filesize", "B"),
        QT_TRANSLATE_NOOP("Filesize", "KB"),
        QT_TRANSLATE_NOOP("Filesize", "MB"),
        QT_TRANSLATE_NOOP("Filesize", "GB"),
        QT_TRANSLATE_NOOP("Filesize", "TB"),
    };
    double value = double(bytes);
    int unit = 0;
    while (value > 1024) {
        value /= 1024;
        ++unit;
    }
    const QString unitText = unit < 5 ? QCoreApplication::translate("Filesize", units[unit]) : QString();
    return QString::number(value, 'f', unit == 0 ? 0 : precision) + " " + unitText;
}

bool FileUtilities::moveEntry(const QString &from, const QString &to, QString *reason)
{
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QFileInfo source(from);
    if (!source.exists() && !source.isSymLink())
        return fail(QStringLiteral("No such file or directory"));
    if (!QDir().mkpath(QFileInfo(to).absolutePath()))
        return fail(QStringLiteral("The folder cannot be made: ") + QFileInfo(to).absolutePath());
    // Checked and renamed in one step where the system can: another program cannot slip a
    // file in between.
    bool unsupported = false;
    if (Platform::renameWithoutReplacing(from, to, reason, &unsupported))
        return true;
    if (!unsupported)
        return false;
    const QFileInfo target(to);
    if (target.exists() || target.isSymLink())
        return fail(QStringLiteral("File exists"));
    if (!QDir().rename(from, to))
        return fail(QStringLiteral("The file system refused to move it"));
    return true;
}
