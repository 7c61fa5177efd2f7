#pragma once

#include <QString>

// Describes one column a TableWidget can show: which row text it shows, how its
// header section sizes, and where the column menu offers it.
struct TableColumn {
    TableColumn() = default;
    TableColumn(const QString &name, int resizeMode, int alignment, const QString &group = QString(),
        bool fixed = false, const QString &title = QString());

    // The caption: the title, or the name translated in the context "Generic".
    QString caption() const;
    // The name translated in "Generic", as the column menu offers it.
    QString translatedName() const;

    // The row text's name for getTextValue, and the key stored in the settings.
    QString name;
    QString title;
    // A QHeaderView::ResizeMode value: 0 interactive, 1 stretch, 2 fixed, 3 fit to contents.
    int resizeMode = 0;
    // Qt::Alignment flags of the cells and the header.
    int alignment = 0;
    // "name" for the mutually exclusive name columns, empty for ordinary ones.
    QString group;
    // Always shown, always first, never switched off.
    bool fixed = false;
};
