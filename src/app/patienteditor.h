#pragma once

#include <QPointer>
#include <QWidget>

class AbstractSettings;
class BasePropertyListWidget;
class QGridLayout;

// The read-only patient card: a patient's columns as a form with every editor
// switched off, in one list or on tabs (one per category). Values are shown as
// they may be displayed, so a name cannot disguise itself on the card.
class PatientEditor : public QWidget
{
    Q_OBJECT
public:
    explicit PatientEditor(QWidget *parent = nullptr);

    // Rebuilds the card for the object; null shows nothing.
    void setObject(AbstractSettings *object);
    // Stores the presentation (tabs, or one list) and rebuilds the card for the current object.
    void setTabbed(bool tabbed);
    // The form shown now; null when nothing is shown.
    BasePropertyListWidget *editor() const { return editorWidget; }

private:
    void rebuild();

    // Not owned; a patient replaced by a reload reads as none.
    QPointer<AbstractSettings> shownObject;
    BasePropertyListWidget *editorWidget = nullptr;
    QGridLayout *layout = nullptr;
    bool tabbed = false;
};
