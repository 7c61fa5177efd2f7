#pragma once

#include <QList>
#include <QString>

class QWidget;

// The program's file choosers and their test seam: while file names are queued,
// no dialog is shown and the next queued name is the choice (an empty name
// answers "cancelled"); what each dialog asked for is recorded.
class FileDialog
{
public:
    struct Asked {
        QString caption;
        QString folder;
        QString filter;
    };

    // An existing file, or an empty text when the user cancels.
    static QString openFileName(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter);

    // A file to write, or an empty text when the user cancels; `path`
    // suggests the folder and name. The chooser asks before replacing a file.
    // With `selectedFilter`, the chooser opens on that filter (the first when
    // empty) and it returns the one chosen.
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &path,
        const QString &filter, QString *selectedFilter = nullptr);

    // Test seam.
    // `filter`: the filter chosen with it; empty keeps the one offered.
    static void setNextFileName(const QString &path, const QString &filter = QString());
    static QList<Asked> takeAsked();
    static void reset();
};
