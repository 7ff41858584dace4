#pragma once

#include <QDate>
#include <QDateTime>
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

// Where the program learns today's date and the time. The running program asks the system;
// tests fix either.
class Clock {
 public:
  QDate today() const {
    if (fixedNow_) return fixedNow_->date();
    return fixed_ ? *fixed_ : QDate::currentDate();
  }
  // A fixed day keeps the system's time of day, so that times taken on it still advance.
  QDateTime now() const {
    if (fixedNow_) return *fixedNow_;
    const QDateTime system = QDateTime::currentDateTime();
    return fixed_ ? QDateTime(*fixed_, system.time()) : system;
  }
  void setToday(const QDate& date) {
    fixed_ = date;
    fixedNow_.reset();
  }
  void setNow(const QDateTime& moment) { fixedNow_ = moment; }

 private:
  std::optional<QDate> fixed_;
  std::optional<QDateTime> fixedNow_;
};
