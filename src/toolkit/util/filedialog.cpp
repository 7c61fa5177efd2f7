#include "toolkit/util/filedialog.h"

#include <QFileDialog>

namespace
{

struct Seam {
    QList<QString> names;
    QList<QString> filters;
    QList<FileDialog::Asked> asked;
    QString lastFilter;
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
    seam().lastFilter = seam().filters.takeFirst();
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

QString FileDialog::saveFileName(QWidget *parent, const QString &caption, const QString &path,
    const QString &filter, QString *selectedFilter)
{
    if (selectedFilter && selectedFilter->isEmpty())
        *selectedFilter = filter.section(QStringLiteral(";;"), 0, 0);
    QString name;
    if (takeName({ caption, path, filter }, &name)) {
        if (selectedFilter && !seam().lastFilter.isEmpty())
            *selectedFilter = seam().lastFilter;
        return name;
    }
    return QFileDialog::getSaveFileName(parent, caption, path, filter, selectedFilter);
}

void FileDialog::setNextFileName(const QString &path, const QString &filter)
{
    seam().names.append(path);
    seam().filters.append(filter);
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
    seam().filters.clear();
    seam().asked.clear();
}
