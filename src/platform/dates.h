#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <optional>

// Dates as the program stores them: "yyyy/mm/dd", in which text order is date order.
namespace dates {

// Reads a typed date: "yyyy/m/d", "yyyy-m-d" (leading zeros optional), and the system's
// short-date form. Calendar-checked: 2003/02/30 is no date. A two-digit year of the short
// form is read in the current century (2026 for "26", never 1926).
std::optional<QDate> parse(const QString& text);

// The same with a given locale for the short form and a given today for the century.
std::optional<QDate> parse(const QString& text, const QLocale& locale, const QDate& today);

// "yyyy/mm/dd"
QString format(const QDate& date);

// The date in the system's short-date form, as the "today" button shows it.
QString formatShort(const QDate& date);

// Reads and writes back in one step: the normalised "yyyy/mm/dd" text, or nothing.
std::optional<QString> normalise(const QString& text);

}  // namespace dates

// Where the program learns today's date. The running program asks the system; tests fix it.
class Clock {
 public:
  QDate today() const { return fixed_ ? *fixed_ : QDate::currentDate(); }
  void setToday(const QDate& date) { fixed_ = date; }

 private:
  std::optional<QDate> fixed_;
};
