#pragma once

#include <QDate>
#include <QLineEdit>

#include <optional>

class QCalendarWidget;

namespace ui {

/// A date box, day/month/year, with a drop-down calendar. The operator types the date the way it is
/// written ("05/09/2002", "5/9/2002" or "05092002") or changes one part of it; the box holds exactly
/// what was typed until the focus leaves, when a real date is shown again as dd/mm/yyyy. A partial or
/// impossible date stays as typed, so the screen can refuse it instead of saving another date.
/// The calendar opens with the button at the right, F4 or Alt+Down.
/// In Designer, promote a QLineEdit to ui::DateEdit (header "platform/ui/DateEdit.h").
class DateEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit DateEdit(QWidget* parent = nullptr);

    /// The date the text reads as; none when it is empty, partial or not a real date.
    [[nodiscard]] std::optional<QDate> date() const;
    /// Shows the date as dd/mm/yyyy.
    void setDate(QDate date);
    void showCalendar();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QCalendarWidget* m_calendar = nullptr;
};

} // namespace ui
