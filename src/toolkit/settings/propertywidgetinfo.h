#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class AbstractMetaDescription;
class BasePropertyView;

// One row of a settings form: the setting's header and editor and where they sit.
struct PropertyWidgetInfo {
    QString name;
    QString category;
    QPointer<AbstractMetaDescription> description;
    QPointer<QWidget> header;
    QPointer<BasePropertyView> view;
    // What sits in the editor column: the view, or a widget put in its place.
    QPointer<QWidget> editor;
    int row = -1;
    // The row has visibility conditions; conditionsMet is their last verdict.
    bool conditional = false;
    bool conditionsMet = true;
    // Hidden on request (showItems), whatever its conditions say.
    bool hiddenByCaller = false;
    // Header hidden on request (showHeader, showHeaders) while the row shows.
    bool headerHidden = false;

    bool isValid() const { return row >= 0; }
    bool isShown() const { return conditionsMet && !hiddenByCaller; }
};
