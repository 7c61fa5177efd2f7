#include "toolkit/util/processtable.h"

#include "toolkit/util/platform.h"

#include <QFile>

QList<ProcessTable::Entry> ProcessTable::list()
{
    QList<Entry> entries;
    for (const Platform::Process &process : Platform::runningProcesses())
        entries.append({ process.pid, process.imageName });
    return entries;
}

void ProcessTable::killByImageName(const QString &imageName, int timeoutMs)
{
    Platform::endProcessesNamed(imageName, timeoutMs);
}

QList<ProcessTable::Entry> ProcessTable::parseTasklistCsv(const QByteArray &output)
{
    QList<Entry> entries;
    const QStringList lines = QString::fromLocal8Bit(output).split("\r\n", Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList fields = line.split("\",");
        if (fields.size() < 2)
            continue;
        QString name = fields.at(0);
        if (name.startsWith('"'))
            name.remove(0, 1);
        if (!name.contains('.'))
            continue;
        QString pid = fields.at(1).trimmed();
        if (pid.startsWith('"'))
            pid.remove(0, 1);
        if (pid.endsWith('"'))
            pid.chop(1);
        entries.append({ pid.toLongLong(), name.trimmed() });
    }
    return entries;
}

QString ProcessTable::imageNameFromCmdline(const QByteArray &cmdline, const QByteArray &comm)
{
    const int end = cmdline.indexOf('\0');
    const QByteArray argv0 = end < 0 ? cmdline : cmdline.left(end);
    const int slash = qMax(argv0.lastIndexOf('/'), argv0.lastIndexOf('\\'));
    const QByteArray base = argv0.mid(slash + 1);
    return QFile::decodeName(base.isEmpty() ? comm : base);
}

QString ProcessTable::withoutQuotes(const QString &name)
{
    if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
        return name.mid(1, name.size() - 2);
    return name;
}

QStringList ProcessTable::tasklistArguments()
{
    return { "/NH", "/FO", "CSV" };
}

QStringList ProcessTable::taskkillArguments(const QString &imageName)
{
    // The process layer quotes arguments itself; quotes left in would be passed on literally.
    return { "/im", withoutQuotes(imageName), "/f" };
}

QStringList ProcessTable::explorerArguments(const QString &path, bool isFolder)
{
    // The file manager runs on Windows only, so its separators are fixed rather than native.
    const QString native = QString(path).replace('/', '\\');
    if (isFolder)
        return { native };
    return { "/select,", native };
}
