#include "toolkit/util/filedialog.h"

#include <QFileDialog>

namespace
{

struct Seam {
    QList<QString> names;
    QList<FileDialog::Asked> asked;
};

Seam &seam()
{
    static Seam instance;
    return instance;
}

bool takeName(const FileDialog::Asked &asked, QString *name)
{
    if (seam().names.isEmpty())
        return false;
    *name = seam().names.takeFirst();
    seam().asked.append(asked);
    return true;
}

} // namespace

QString FileDialog::openFileName(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    QString name;
    if (takeName({ caption, folder, filter }, &name))
        return name;
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString FileDialog::saveFileName(
    QWidget *parent, const QString &caption, const QString &path, const QString &filter)
{
    QString name;
    if (takeName({ caption, path, filter }, &name))
        return name;
    return QFileDialog::getSaveFileName(parent, caption, path, filter);
}

void FileDialog::setNextFileName(const QString &path)
{
    seam().names.append(path);
}

QList<FileDialog::Asked> FileDialog::takeAsked()
{
    QList<Asked> asked;
    asked.swap(seam().asked);
    return asked;
}

void FileDialog::reset()
{
    seam().names.clear();
    seam().asked.clear();
}
