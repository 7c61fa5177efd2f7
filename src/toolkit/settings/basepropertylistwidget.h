#pragma once

#include "toolkit/settings/propertycategories.h"
#include "toolkit/settings/propertywidgetinfo.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class AbstractMetaDescription;
class AbstractSettings;
class BasePropertyView;
class QGridLayout;

// A grid of setting rows (header, editor) built from a settings object's own
// descriptions. Chooses each setting's editor, evaluates visibility conditions
// and keeps the focus order. The form never owns the settings object; when the
// object goes away first, its rows stop writing.
class BasePropertyListWidget : public QWidget
{
    Q_OBJECT
public:
    explicit BasePropertyListWidget(AbstractSettings *settings, QWidget *parent = nullptr);

    AbstractSettings *getSettings() const;

    // Shows another object of the class the form was built for in the rows it
    // has, so that nothing is built or styled anew: every editor takes the new
    // object's setting of its name. False, with nothing changed, for an object
    // of another class (or none): the caller builds a form for it.
    virtual bool showObject(AbstractSettings *object);
    // Whether showObject can take the object.
    bool canShow(AbstractSettings *object) const;

    // Appends a row for description to grid; the row's index in grid, or -1.
    int addPropertyToLayout(AbstractMetaDescription *description, QGridLayout *grid);
    // The editor for description; columnSpan receives 1, or 2 for wide editors.
    BasePropertyView *getPropertyView(AbstractMetaDescription *description, int &columnSpan);
    // Whether the setting called name satisfies required: alternatives split on
    // "|" (any must match) or "&&" (all must match), each either a value or "!"
    // followed by a value it must not have. An unknown setting passes.
    bool checkVisibility(const QString &name, const QString &required);

    // Chains Tab through the editors of the shown rows, in row order.
    virtual void reorderTabOrder();
    void setFocusAt(int index);
    void setFocusAt(const QString &name);
    void setFocusAt(const PropertyWidgetInfo &info);
    void setFocusAtFirst();

    virtual void showDefaultButtons(bool show);
    virtual void showHeaders(bool show);
    // Shows or hides the named rows on top of their visibility conditions.
    virtual void showItems(const QStringList &names, bool show);
    // Off: nothing in the form can be edited, and the form presents its values
    // (BasePropertyView::setPresenting). On again: all but read-only settings.
    virtual void setEditorsEnabled(bool enabled);

    virtual int widgetInfoCount() const;
    // An invalid record (row -1) when there is no such row.
    virtual PropertyWidgetInfo getWidgetInfo(int index) const;
    virtual PropertyWidgetInfo getWidgetInfo(const QString &name) const;

protected:
    // Shows or hides a row's header and editor as isShown() says.
    void applyRowVisibility(int index);
    // Re-evaluates every condition of a row; true when they all pass.
    bool conditionsPass(const AbstractMetaDescription *description);
    // Finds a setting a condition names: among the form's rows first, then the object.
    AbstractMetaDescription *findDependency(const QString &name) const;
    // Called after rows were shown or hidden.
    virtual void rowsVisibilityChanged();
    // Binds the settings, the index and every row to the object, which
    // canShow has accepted.
    void bindRows(AbstractSettings *object);
    int indexOf(const QString &name) const;

    QGridLayout *gridLayout = nullptr;
    QList<PropertyWidgetInfo> widgetInfos;
    PropertyCategories categories;
    bool focusFirstEditor = true;
    QPointer<AbstractSettings> settings;
    // The class the rows were built for.
    const QMetaObject *formClass = nullptr;
};
