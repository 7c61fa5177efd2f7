#include "app/patienteditor.h"

#include "toolkit/settings/abstractsettings.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/settings/propertytabwidget.h"

#include <QGridLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

PatientEditor::PatientEditor(QWidget *parent)
    : QWidget(parent)
{
    setContentsMargins(8, 8, 8, 8);
    setAccessibleName(tr("Patient card"));
    layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

BasePropertyListWidget *PatientEditor::editor() const
{
    return form && shownObject && !pending ? form : nullptr;
}

void PatientEditor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (pending)
        showCurrent();
}

void PatientEditor::setObject(AbstractSettings *object)
{
    shownObject = object;
    showCurrent();
}

void PatientEditor::setTabbed(bool on)
{
    if (on != tabbed)
        dropForm();
    tabbed = on;
    showCurrent();
}

void PatientEditor::dropForm()
{
    if (!form)
        return;
    form->hide();
    form->setParent(nullptr);
    delete form;
    form = nullptr;
}

void PatientEditor::showCurrent()
{
    pending = !isVisible();
    if (pending)
        return;
    if (!shownObject) {
        if (form)
            form->hide();
        return;
    }
    if (form && form->showObject(shownObject)) {
        // Each patient's card opens as a new one did: first tab, top of the list.
        if (auto *tabs = qobject_cast<PropertyTabWidget *>(form)) {
            QTabWidget *pages = tabs->getTabWidget();
            for (int i = 0; i < pages->count(); ++i) {
                if (pages->isTabEnabled(i)) {
                    pages->setCurrentIndex(i);
                    break;
                }
            }
        } else if (auto *list = qobject_cast<PropertyListControl *>(form)) {
            if (QScrollArea *scroll = list->getScrollArea())
                scroll->verticalScrollBar()->setValue(0);
        }
        form->show();
        return;
    }
    dropForm();
    // Built without a parent and named before it joins the card: a form created inside a
    // shown card takes its style at once, before the name that selects the flat look.
    if (tabbed)
        form = new PropertyTabWidget(shownObject);
    else
        form = new PropertyListControl(shownObject, QString(), PropertyListControl::AllProperties);
    form->setEditorsEnabled(false);
    // The style sheet draws the editors of "uneditable" forms as flat text over a rule.
    form->setObjectName(QStringLiteral("uneditable"));
    layout->addWidget(form, 0, 0);
}
