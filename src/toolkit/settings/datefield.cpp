#include "toolkit/settings/datefield.h"

#include "toolkit/i18n/datetext.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/clock.h"

#include <QAccessible>
#include <QAction>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyle>

namespace
{

const QDate Earliest(1800, 1, 1);
constexpr int BirthYearsBack = 30;

// Whether the interface language writes dates year first.
bool yearFirstForm()
{
    return DateText::dateFormat().startsWith(QLatin1Char('y'));
}

// A two-digit year is the latest year ending in those digits that is not after this one.
int fullYear(const QString &digits, const QDate &today)
{
    int year = digits.toInt();
    if (digits.size() == 2) {
        year += today.year() / 100 * 100;
        if (year > today.year())
            year -= 100;
    }
    return year;
}

// Day, month and year of a date typed in one of the accepted forms; an invalid date otherwise.
QDate typedDate(const QString &text, const QDate &today)
{
    static const QRegularExpression digitsOnly(QStringLiteral("^(\\d\\d)(\\d\\d)(\\d{4}|\\d\\d)$"));
    static const QRegularExpression yearFirst(QStringLiteral("^(\\d{4})[-./](\\d{1,2})[-./](\\d{1,2})$"));
    static const QRegularExpression dayFirst(
        QStringLiteral("^(\\d{1,2})\\s*[-./ ]\\s*(\\d{1,2})\\s*[-./ ]\\s*(\\d{4}|\\d\\d)$"));
    QRegularExpressionMatch match = yearFirst.match(text);
    if (match.hasMatch())
        return QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    match = digitsOnly.match(text);
    if (!match.hasMatch())
        match = dayFirst.match(text);
    if (!match.hasMatch())
        return QDate();
    return QDate(fullYear(match.captured(3), today), match.captured(2).toInt(), match.captured(1).toInt());
}

} // namespace

DateField::DateField(QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(QStringLiteral("dateField"));
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9./ -]{0,16}")), this));
    setPlaceholderText(yearFirstForm() ? tr("yyyy-mm-dd") : tr("dd.mm.yyyy"));
    StyleHelper::DimPlaceholder(this);
    calendarButton = addAction(QIcon(), QLineEdit::TrailingPosition);
    calendarButton->setObjectName(QStringLiteral("dateFieldCalendarAction"));
    calendarButton->setText(tr("Calendar"));
    calendarButton->setToolTip(tr("Calendar (Alt+Down)"));
    StyleHelper::Instance()->setMenuActionIcon(
        calendarButton, QStringLiteral(":/icons/chevron-down.svg"), QStringLiteral("#FFF"));
    connect(calendarButton, &QAction::triggered, this, &DateField::showCalendar);
    connect(this, &QLineEdit::editingFinished, this, &DateField::commit);
    // Typing again is a new attempt, judged when the user moves on.
    connect(this, &QLineEdit::textEdited, this, [this] { setImpossible(false); });
}

void DateField::setWithTime(bool on)
{
    withTime = on;
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(on ? QStringLiteral("[0-9./ :-]{0,22}") : QStringLiteral("[0-9./ -]{0,16}")),
        this));
    if (yearFirstForm())
        setPlaceholderText(on ? tr("yyyy-mm-dd hh:mm") : tr("yyyy-mm-dd"));
    else
        setPlaceholderText(on ? tr("dd.mm.yyyy hh:mm") : tr("dd.mm.yyyy"));
    setDateTime(shown);
}

void DateField::setBirthDate(bool on)
{
    birthDate = on;
}

DateField::Parsed DateField::parse(const QString &text, bool withTime, bool birthDate, const QDate &today)
{
    Parsed parsed;
    QString datePart = text.trimmed();
    if (datePart.isEmpty())
        return parsed;
    parsed.entry = Impossible;
    QTime time(0, 0);
    static const QRegularExpression timeAtEnd(QStringLiteral("\\s+(\\d{1,2}):(\\d\\d)$"));
    const QRegularExpressionMatch timeMatch = timeAtEnd.match(datePart);
    if (timeMatch.hasMatch()) {
        if (!withTime)
            return parsed;
        time = QTime(timeMatch.captured(1).toInt(), timeMatch.captured(2).toInt());
        if (!time.isValid())
            return parsed;
        datePart.chop(timeMatch.capturedLength());
    }
    const QDate date = typedDate(datePart, today);
    if (!date.isValid() || date < Earliest || (birthDate && date > today))
        return parsed;
    parsed.entry = Complete;
    parsed.value = QDateTime(date, time);
    return parsed;
}

QString DateField::format(const QDateTime &value, bool withTime)
{
    return value.isValid() ? value.toString(withTime ? DateText::dateTimeFormat() : DateText::dateFormat())
                           : QString();
}

QDateTime DateField::dateTime() const
{
    return parse(text(), withTime, birthDate, Clock::today()).value;
}

void DateField::setDateTime(const QDateTime &value)
{
    shown = value.isValid() && value.date() >= Earliest ? value : QDateTime();
    const QString text = format(shown, withTime);
    if (this->text() != text)
        setText(text);
    setImpossible(false);
}

DateField::Entry DateField::entry() const
{
    return parse(text(), withTime, birthDate, Clock::today()).entry;
}

void DateField::commit()
{
    const Parsed parsed = parse(text(), withTime, birthDate, Clock::today());
    if (parsed.entry == Impossible) {
        setImpossible(true);
        return;
    }
    setImpossible(false);
    const QString canonical = format(parsed.value, withTime);
    if (text() != canonical)
        setText(canonical);
    // Compared as shown: a stored time with seconds that the user passed over stays as it was.
    if (canonical == format(shown, withTime))
        return;
    shown = parsed.value;
    emit dateTimeEdited(parsed.value);
}

void DateField::setImpossible(bool on)
{
    if (impossible == on)
        return;
    impossible = on;
    // Drawn by the style sheet (QLineEdit[impossible="true"]), which reads the property at polish.
    setProperty("impossible", on);
    style()->unpolish(this);
    style()->polish(this);
    update();
    setToolTip(on ? tr("No such date") : QString());
    // Red alone tells a screen reader nothing: the field's description says it.
    setAccessibleDescription(on ? tr("No such date") : QString());
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
    emit impossibleChanged(on);
}

bool DateField::event(QEvent *event)
{
    // Tab leaves the field with what was typed taken, even where no focus change follows.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            commit();
    }
    return QLineEdit::event(event);
}

void DateField::keyPressEvent(QKeyEvent *event)
{
    const bool openKey = event->key() == Qt::Key_F4
        || (event->key() == Qt::Key_Down && event->modifiers() & Qt::AltModifier);
    if (openKey) {
        showCalendar();
        return;
    }
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && !isReadOnly()) {
        step(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DateField::step(int direction)
{
    const Parsed parsed = parse(text(), withTime, birthDate, Clock::today());
    if (parsed.entry != Complete)
        return;
    // The part under the cursor in "dd.MM.yyyy HH:mm" or "yyyy-MM-dd HH:mm"; the day
    // when what stands there is not in the shown form.
    const bool shownForm = format(parsed.value, withTime) == text();
    const int at = shownForm ? cursorPosition() : 0;
    QDateTime value = parsed.value;
    if (!shownForm || (yearFirstForm() ? at > 7 && at <= 10 : at <= 2))
        value = value.addDays(direction);
    else if (yearFirstForm() ? at > 4 && at <= 7 : at <= 5)
        value = value.addMonths(direction);
    else if (at <= 10)
        value = value.addYears(direction);
    else if (at <= 13)
        value = value.addSecs(3600 * direction);
    else
        value = value.addSecs(60 * direction);
    if (value.date() < Earliest || (birthDate && value.date() > Clock::today()))
        return;
    setText(format(value, withTime));
    setCursorPosition(at);
    setImpossible(false);
    shown = value;
    emit dateTimeEdited(value);
}

void DateField::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ReadOnlyChange)
        updateButton();
    QLineEdit::changeEvent(event);
}

void DateField::updateButton()
{
    calendarButton->setVisible(isEnabled() && !isReadOnly());
}

QDate DateField::calendarStart() const
{
    const Parsed parsed = parse(text(), withTime, birthDate, Clock::today());
    if (parsed.entry == Complete)
        return parsed.value.date();
    // Near what was typed so far: its year, and the month typed beside it.
    static const QRegularExpression numbers(QStringLiteral("\\d+"));
    QStringList parts;
    for (auto it = numbers.globalMatch(text()); it.hasNext();)
        parts << it.next().captured();
    int year = 0;
    int month = 1;
    for (int i = 0; i < parts.size() && !year; ++i) {
        if (parts.at(i).size() != 4 && parts.at(i).size() != 8)
            continue;
        year = parts.at(i).rightRef(4).toInt();
        const QString &part = parts.at(i);
        const int beside = part.size() == 8 ? part.midRef(2, 2).toInt()
                                            : (i == 0 ? parts.value(1) : parts.at(i - 1)).toInt();
        if (beside >= 1 && beside <= 12)
            month = beside;
    }
    const QDate today = Clock::today();
    if (year >= Earliest.year()) {
        const QDate start(year, month, 1);
        return birthDate && start > today ? today : start;
    }
    return birthDate ? today.addYears(-BirthYearsBack) : today;
}

void DateField::showCalendar()
{
    if (!isEnabled() || isReadOnly())
        return;
    if (!calendarPopup) {
        calendarPopup = new QCalendarWidget(this);
        calendarPopup->setObjectName(QStringLiteral("dateFieldCalendar"));
        calendarPopup->setWindowFlags(Qt::Popup);
        calendarPopup->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        calendarPopup->installEventFilter(this);
        connect(calendarPopup, &QCalendarWidget::clicked, this, &DateField::pick);
        connect(calendarPopup, &QCalendarWidget::activated, this, &DateField::pick);
    }
    calendarPopup->setLocale(locale());
    calendarPopup->setDateRange(Earliest, birthDate ? Clock::today() : QDate(9999, 12, 31));
    // The keyboard walks on from the selected day, so the start is selected, not only shown.
    calendarPopup->setSelectedDate(calendarStart());
    calendarPopup->adjustSize();
    QPoint at = mapToGlobal(rect().bottomLeft());
    if (const QScreen *screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        const QSize size = calendarPopup->sizeHint();
        if (at.y() + size.height() > room.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        at.setX(qBound(room.left(), at.x(), room.right() - size.width()));
    }
    calendarPopup->move(at);
    calendarPopup->show();
    calendarPopup->setFocus(Qt::PopupFocusReason);
}

void DateField::pick(const QDate &date)
{
    calendarPopup->hide();
    setFocus(Qt::PopupFocusReason);
    const QDateTime value(date, withTime && shown.isValid() ? shown.time() : QTime(0, 0));
    setText(format(value, withTime));
    setImpossible(false);
    if (format(value, withTime) == format(shown, withTime))
        return;
    shown = value;
    emit dateTimeEdited(value);
}

bool DateField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == calendarPopup && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        calendarPopup->hide();
        setFocus(Qt::PopupFocusReason);
        return true;
    }
    return QLineEdit::eventFilter(watched, event);
}
