#include "db/care/trashfolder.h"

#include "db/model/datalocations.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/fileutilities.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>

namespace
{

// A relative path that stays where it is put: no drive, no leading slash, no
// "." or ".." part, nothing to clean.
bool staysBelow(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\'))
        || path.contains(QLatin1Char(':')) || QDir::cleanPath(path) != path)
        return false;
    for (const QString &part : path.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

} // namespace

QString TrashFolder::root()
{
    return DataLocations::dataFolder() + QStringLiteral("Trash/");
}

QString TrashFolder::noteName()
{
    return QStringLiteral("removal.json");
}

QString TrashFolder::purgingPrefix()
{
    return QStringLiteral(".purging-");
}

QString TrashFolder::create(const QString &folderName, QString *reason)
{
    const QString base = Clock::now().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + QLatin1Char('_')
        + (DataLocations::isPlainFolderName(folderName) && !folderName.startsWith(QLatin1Char('.'))
                ? folderName
                : QStringLiteral("patient"));
    if (!QDir().mkpath(root())) {
        *reason = QDir::toNativeSeparators(root());
        return QString();
    }
    // mkdir fails on an existing folder, so two removals in one second never share one.
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('_') + QString::number(n);
        if (QDir(root()).mkdir(name))
            return name;
        if (!QFileInfo::exists(root() + name))
            break;
    }
    *reason = QDir::toNativeSeparators(root() + base);
    return QString();
}

bool TrashFolder::writeNote(const QString &name, const QList<Move> &moves, QString *reason)
{
    QSaveFile note(root() + name + QLatin1Char('/') + noteName());
    QJsonObject object;
    object.insert(QStringLiteral("moves"), toJson(moves));
    const QByteArray text = QJsonDocument(object).toJson();
    if (note.open(QIODevice::WriteOnly) && note.write(text) == text.size() && note.commit())
        return true;
    *reason = QDir::toNativeSeparators(note.fileName()) + QStringLiteral(": ") + note.errorString();
    return false;
}

QList<TrashFolder::Move> TrashFolder::readNote(const QString &name)
{
    QFile note(root() + name + QLatin1Char('/') + noteName());
    QList<Move> moves;
    if (note.open(QIODevice::ReadOnly)
        && !fromJson(
            QJsonDocument::fromJson(note.readAll()).object().value(QStringLiteral("moves")).toArray(),
            &moves))
        moves.clear();
    return moves;
}

namespace
{

QJsonObject noteObject(const QString &name)
{
    QFile note(TrashFolder::root() + name + QLatin1Char('/') + TrashFolder::noteName());
    return note.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(note.readAll()).object() : QJsonObject();
}

} // namespace

bool TrashFolder::noteOperation(const QString &name, const QString &operation)
{
    QJsonObject object = noteObject(name);
    if (object.isEmpty())
        return false;
    if (operation.isEmpty())
        object.remove(QStringLiteral("operation"));
    else
        object.insert(QStringLiteral("operation"), operation);
    QSaveFile note(root() + name + QLatin1Char('/') + noteName());
    const QByteArray text = QJsonDocument(object).toJson();
    return note.open(QIODevice::WriteOnly) && note.write(text) == text.size() && note.commit();
}

QString TrashFolder::operationOf(const QString &name)
{
    return noteObject(name).value(QStringLiteral("operation")).toString();
}

bool TrashFolder::moveIn(const QString &name, const QList<Move> &moves, QString *reason)
{
    for (int i = 0; i < moves.size(); ++i) {
        QString why;
        if (!FileUtilities::moveEntry(absoluteFrom(moves.at(i)), absoluteTo(name, moves.at(i)), &why)) {
            *reason = QDir::toNativeSeparators(absoluteFrom(moves.at(i))) + QStringLiteral(": ") + why;
            undo(name, moves.mid(0, i), true);
            return false;
        }
    }
    return true;
}

bool TrashFolder::moveOut(const QString &name, const QList<Move> &moves, QString *reason)
{
    for (int i = 0; i < moves.size(); ++i) {
        QString why;
        if (!FileUtilities::moveEntry(absoluteTo(name, moves.at(i)), absoluteFrom(moves.at(i)), &why)) {
            *reason = QDir::toNativeSeparators(absoluteFrom(moves.at(i))) + QStringLiteral(": ") + why;
            undo(name, moves.mid(0, i), false);
            return false;
        }
    }
    return true;
}

QStringList TrashFolder::undo(const QString &name, const QList<Move> &moves, bool wasMovedIn)
{
    QStringList stuck;
    for (auto it = moves.crbegin(); it != moves.crend(); ++it) {
        const QString inTrash = absoluteTo(name, *it);
        const QString inPlace = absoluteFrom(*it);
        const QString at = wasMovedIn ? inTrash : inPlace;
        if (!FileUtilities::moveEntry(at, wasMovedIn ? inPlace : inTrash)) {
            qWarning() << "Recording not moved back:" << at;
            stuck << QDir::toNativeSeparators(at);
        }
    }
    return stuck;
}

void TrashFolder::tidy(const QString &name)
{
    const QString folder = root() + name;
    QFile::remove(folder + QLatin1Char('/') + noteName());
    // Empty folders the moves left behind go; anything else stays.
    QStringList folders;
    for (QDirIterator it(
             folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
        folders.append(it.next());
    std::sort(folders.begin(), folders.end(),
        [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &path : qAsConst(folders))
        QDir().rmdir(path);
    QDir(root()).rmdir(name);
}

QJsonArray TrashFolder::toJson(const QList<Move> &moves)
{
    QJsonArray array;
    for (const Move &move : moves)
        array.append(
            QJsonObject { { QStringLiteral("from"), move.from }, { QStringLiteral("to"), move.to } });
    return array;
}

bool TrashFolder::fromJson(const QJsonArray &array, QList<Move> *moves)
{
    for (const QJsonValue &value : array) {
        const QJsonObject object = value.toObject();
        const Move move { object.value(QStringLiteral("from")).toString(),
            object.value(QStringLiteral("to")).toString() };
        if (!staysBelow(move.from) || !staysBelow(move.to)
            || !DataLocations::isPlainFolderName(move.from.section(QLatin1Char('/'), 0, 0)))
            return false;
        moves->append(move);
    }
    return true;
}

QString TrashFolder::absoluteFrom(const Move &move)
{
    return DataLocations::patientsFolder() + move.from;
}

QString TrashFolder::absoluteTo(const QString &name, const Move &move)
{
    return root() + name + QLatin1Char('/') + move.to;
}
