#include "DateEdit.h"

#include "platform/Clock.h"
#include "platform/Regional.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyle>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ui {

namespace {

const QString shownFormat = u"dd/MM/yyyy"_s;
// Years before this are a mistyped year, never a payment or a declaration of this program.
constexpr int firstYear = 1900;

} // namespace

DateEdit::DateEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(10);
    setValidator(new QRegularExpressionValidator(QRegularExpression(u"[0-9/]*"_s), this));
    QAction* drop = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    drop->setToolTip(u"Calendario"_s);
    connect(drop, &QAction::triggered, this, &DateEdit::showCalendar);
    connect(this, &QLineEdit::editingFinished, this, [this] {
        if (const auto typed = date())
            setDate(*typed);
    });
}

std::optional<QDate> DateEdit::date() const
{
    static const QRegularExpression digitsOnly(u"^\\d{8}$"_s);
    QString typed = text().trimmed();
    // Typed without its separators (ddmmyyyy), the date reads as dd/mm/yyyy.
    if (digitsOnly.match(typed).hasMatch())
        typed = typed.left(2) + u'/' + typed.mid(2, 2) + u'/' + typed.mid(4);
    // The stored form, yyyy-mm-dd, is not a way of typing a date.
    if (typed.contains(u'-'))
        return std::nullopt;
    const QDate read = Regional::parseDate(typed);
    if (!read.isValid() || read.year() < firstYear)
        return std::nullopt;
    return read;
}

void DateEdit::setDate(QDate date)
{
    setText(date.toString(shownFormat));
}

void DateEdit::showCalendar()
{
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setWindowFlags(Qt::Popup);
        m_calendar->setGridVisible(true);
        const auto pick = [this](QDate picked) {
            setDate(picked);
            m_calendar->hide();
            setFocus(Qt::PopupFocusReason);
        };
        connect(m_calendar, &QCalendarWidget::clicked, this, pick);
        connect(m_calendar, &QCalendarWidget::activated, this, pick);
    }
    m_calendar->setSelectedDate(date().value_or(Clock::today()));
    // Below the box, or above it when the screen ends first; never past the screen's sides.
    const QSize size = m_calendar->sizeHint();
    const QRect area = screen()->availableGeometry();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (at.y() + size.height() > area.bottom())
        at.setY(at.y() - height() - size.height());
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width())));
    m_calendar->move(at);
    m_calendar->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DateEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Reached with the keyboard or by the program, the whole date is selected, so typing replaces it.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
        selectAll();
}

void DateEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F4 || (event->key() == Qt::Key_Down && event->modifiers() & Qt::AltModifier))
        return showCalendar();
    QLineEdit::keyPressEvent(event);
}

} // namespace ui
