#pragma once

#include <QPointer>
#include <QWidget>

class AbstractSettings;
class BasePropertyListWidget;
class QGridLayout;

// The read-only patient card: a patient's columns as a form with every editor
// switched off, in one list or on tabs (one per category). Values are shown as
// they may be displayed, so a name cannot disguise itself on the card.
//
// The form is built once per presentation and fills in the values of each
// patient shown after the first: a new form costs tens of milliseconds of
// styling, which would be paid at every selection. A card nobody sees (not
// shown yet, or hidden by the card view) does nothing until it is shown.
class PatientEditor : public QWidget
{
    Q_OBJECT
public:
    explicit PatientEditor(QWidget *parent = nullptr);

    // Shows the object's values, from the first field and tab; null shows nothing.
    void setObject(AbstractSettings *object);
    // Stores the presentation (tabs, or one list) and shows the current object in it.
    void setTabbed(bool tabbed);
    // The form shown now; null when nothing is shown.
    BasePropertyListWidget *editor() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showCurrent();
    void dropForm();

    // Not owned; a patient replaced by a reload reads as none.
    QPointer<AbstractSettings> shownObject;
    // Kept, hidden, while nothing is shown.
    BasePropertyListWidget *form = nullptr;
    QGridLayout *layout = nullptr;
    bool tabbed = false;
    // What to show has changed while the card was not visible.
    bool pending = false;
};
