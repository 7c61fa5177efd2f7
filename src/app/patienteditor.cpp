#include "app/patienteditor.h"

#include "toolkit/settings/abstractsettings.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/settings/propertytabwidget.h"

#include <QGridLayout>

PatientEditor::PatientEditor(QWidget *parent)
    : QWidget(parent)
{
    setContentsMargins(8, 8, 8, 8);
    layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void PatientEditor::setObject(AbstractSettings *object)
{
    shownObject = object;
    rebuild();
}

void PatientEditor::setTabbed(bool on)
{
    tabbed = on;
    rebuild();
}

void PatientEditor::rebuild()
{
    if (editorWidget) {
        editorWidget->hide();
        editorWidget->setParent(nullptr);
        delete editorWidget;
        editorWidget = nullptr;
    }
    if (!shownObject)
        return;

    // Built without a parent and named before it joins the card: a form created inside a
    // shown card takes its style at once, before the name that selects the flat look.
    if (tabbed)
        editorWidget = new PropertyTabWidget(shownObject);
    else
        editorWidget = new PropertyListControl(shownObject, QString(), PropertyListControl::AllProperties);
    editorWidget->setEditorsEnabled(false);
    // The style sheet draws the editors of "uneditable" forms as flat text over a rule.
    editorWidget->setObjectName(QStringLiteral("uneditable"));
    layout->addWidget(editorWidget, 0, 0);
}
