#pragma once

#include "toolkit/settings/basepropertylistwidget.h"
#include "toolkit/util/connectionhelper.h"

#include <QMap>

class QGridLayout;
class QLabel;
class QScrollArea;

// The list form of a settings object: a header and an editor per setting, in
// category order. Columns: 0 headers, 1 editors (wide editors span 2), 2 the
// stretch, 3 free for widgets put beside a row.
class PropertyListControl : public BasePropertyListWidget
{
    Q_OBJECT
public:
    enum ViewMode { AllProperties = 0, OneCategory = 1, OneProperty = 2, AllPropertiesPlain = 3 };
    Q_ENUM(ViewMode)

    // name: the category (OneCategory; empty for the unnamed one) or the
    // setting (OneProperty); not read in the other modes.
    explicit PropertyListControl(AbstractSettings *settings, const QString &name = QString(),
        ViewMode mode = AllProperties, QWidget *parent = nullptr);

    bool showObject(AbstractSettings *object) override;

    QString getName() const;
    // Null in the plain modes.
    QScrollArea *getScrollArea() const;
    // The bold label before a category's rows; null when the form shows none.
    QLabel *getCategoryLabel(const QString &category) const;

    // On: propertyVisibilityChanged reports every change of visibleProperties.
    void setManageCategoryVisibility(bool manage);
    // Rows shown now: those without conditions plus those whose conditions pass.
    int visibleProperties() const;

    void showHeader(const QString &name, bool show);

    void setPadding(int padding);

signals:
    void propertyVisibilityChanged(int visibleProperties);
    void manageCategoryVisibilityChanged();

protected:
    void rowsVisibilityChanged() override;

private:
    void build();
    void addCategory(const QString &category, bool withLabel);
    void watchConditions(int index);
    // Evaluates every conditional row anew; true when one came or went.
    bool recheckConditions();
    void recheckRow(int index);
    void updateLabelsAndCounts();
    int nextFreeRow() const;
    void moveBottomStretch();

    QString name;
    ViewMode mode;
    QGridLayout *propertyGrid = nullptr;
    QScrollArea *scrollArea = nullptr;
    QMap<QString, QLabel *> categoryLabels;
    // The watched settings belong to the object shown.
    ConnectionHelper conditionWatch;
    bool manageCategoryVisibility = false;
    int alwaysVisible = 0;
    int conditionallyVisible = 0;
    int maximumHeaderWidth = 0;
    int stretchRow = -1;
};
