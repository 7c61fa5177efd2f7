#pragma once

#include <QDateTime>
#include <QLineEdit>

class QAction;
class QCalendarWidget;

// A date typed as people type them: "12041978", "12.04.1978", "12/04/1978", "1978-04-12"
// (two-digit years count back from today), with the time after a blank when the field
// holds one. What is typed stays as typed until the user moves on (Tab, Enter, another
// field): then a date is written out as "dd.MM.yyyy" and reported, an empty field reports
// no date, and anything else stays as typed, marked impossible, and reports nothing.
// Up and Down step the part under the cursor; Alt+Down, F4 or the button open a calendar
// at the date, near a typed year, or for a blank field today (a birth date: thirty years
// back).
class DateField : public QLineEdit
{
    Q_OBJECT
public:
    enum Entry { Blank, Complete, Impossible };
    struct Parsed {
        Entry entry = Blank;
        QDateTime value;
    };

    explicit DateField(QWidget *parent = nullptr);

    void setWithTime(bool withTime);
    bool hasTime() const { return withTime; }
    // A birth date lies in the past, and its calendar opens years back.
    void setBirthDate(bool birthDate);

    // The date shown; invalid when the field is blank or its text is no date.
    QDateTime dateTime() const;
    // Shows the value (invalid: blank) without reporting it.
    void setDateTime(const QDateTime &value);
    // What the text holds now, as moving on would take it.
    Entry entry() const;
    // The text was left holding no date, and is marked so.
    bool isImpossible() const { return impossible; }

    QAction *calendarAction() const { return calendarButton; }
    void showCalendar();
    // Null until the calendar was first shown.
    QCalendarWidget *calendar() const { return calendarPopup; }

    // today decides two-digit years and what lies in the future.
    static Parsed parse(const QString &text, bool withTime, bool birthDate, const QDate &today);
    static QString format(const QDateTime &value, bool withTime);

signals:
    // The user entered a date, or emptied the field (an invalid value).
    void dateTimeEdited(const QDateTime &value);
    void impossibleChanged(bool impossible);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void commit();
    void setImpossible(bool on);
    void step(int direction);
    void pick(const QDate &date);
    QDate calendarStart() const;
    void updateButton();

    bool withTime = false;
    bool birthDate = false;
    bool impossible = false;
    // The value last shown or reported, so that moving on unchanged reports nothing.
    QDateTime shown;
    QAction *calendarButton = nullptr;
    QCalendarWidget *calendarPopup = nullptr;
};
