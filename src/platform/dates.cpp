#include "platform/dates.h"

#include <QRegularExpression>

#include <vector>

namespace dates {
namespace {

constexpr int kWidth = 10;  // "yyyy/mm/dd"

std::optional<QDate> fromParts(int year, int month, int day) {
  if (year < 1 || year > 9999) return std::nullopt;
  const QDate date(year, month, day);
  if (!date.isValid()) return std::nullopt;
  return date;
}

// What each group of a short-date pattern reads.
enum class Field { Day, Month, MonthName, Year2, Year4, Skip };

struct Pattern {
  QRegularExpression expression;
  std::vector<Field> fields;
};

// The locale's short-date format as a pattern for typed text. Qt's own reading takes a
// two-digit year as 19yy and would refuse 29 February of a year 00 on that account, so the
// fields are read here and checked as a date only once the century is known.
Pattern shortPattern(const QLocale& locale) {
  const QString format = locale.dateFormat(QLocale::ShortFormat);
  QString regex = QStringLiteral("^");
  std::vector<Field> fields;
  for (qsizetype i = 0; i < format.size();) {
    const QChar c = format.at(i);
    qsizetype run = 1;
    while (i + run < format.size() && format.at(i + run) == c) ++run;
    if (c == QLatin1Char('\'')) {
      // Quoted literal text; '' is a quote.
      const qsizetype end = format.indexOf(QLatin1Char('\''), i + 1);
      const qsizetype stop = end < 0 ? format.size() : end;
      const QString literal = stop == i + 1 ? QStringLiteral("'") : format.mid(i + 1, stop - i - 1);
      regex += QRegularExpression::escape(literal);
      i = stop + 1;
      continue;
    }
    if (c == QLatin1Char('d') && run <= 2) {
      regex += QStringLiteral("([0-9]{1,2})");
      fields.push_back(Field::Day);
    } else if (c == QLatin1Char('d')) {
      regex += QStringLiteral("(\\S+?)");  // a day name: not checked
      fields.push_back(Field::Skip);
    } else if (c == QLatin1Char('M') && run <= 2) {
      regex += QStringLiteral("([0-9]{1,2})");
      fields.push_back(Field::Month);
    } else if (c == QLatin1Char('M')) {
      regex += QStringLiteral("([^\\s0-9.,/-]+\\.?)");
      fields.push_back(Field::MonthName);
    } else if (c == QLatin1Char('y') && run >= 3) {
      regex += QStringLiteral("([0-9]{4})");
      fields.push_back(Field::Year4);
    } else if (c == QLatin1Char('y')) {
      regex += QStringLiteral("([0-9]{4}|[0-9]{2})");  // the whole year is welcome too
      fields.push_back(Field::Year2);
    } else if (c.isSpace()) {
      regex += QStringLiteral("\\s+");
    } else {
      regex += QRegularExpression::escape(QString(run, c));
    }
    i += run;
  }
  regex += QLatin1Char('$');
  return {QRegularExpression(regex, QRegularExpression::CaseInsensitiveOption), fields};
}

int monthOfName(const QLocale& locale, QString name) {
  if (name.endsWith(QLatin1Char('.'))) name.chop(1);
  for (int month = 1; month <= 12; ++month) {
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
      for (QString known :
           {locale.monthName(month, type), locale.standaloneMonthName(month, type)}) {
        if (known.endsWith(QLatin1Char('.'))) known.chop(1);
        if (!known.isEmpty() && known.compare(name, Qt::CaseInsensitive) == 0) return month;
      }
    }
  }
  return 0;
}

std::optional<QDate> parseShort(const QString& text, const QLocale& locale, const QDate& today) {
  const Pattern pattern = shortPattern(locale);
  const auto m = pattern.expression.match(text);
  if (!m.hasMatch()) return std::nullopt;
  int year = -1;
  int month = -1;
  int day = -1;
  for (size_t k = 0; k < pattern.fields.size(); ++k) {
    const QString part = m.captured(static_cast<int>(k) + 1);
    switch (pattern.fields[k]) {
      case Field::Day:
        day = part.toInt();
        break;
      case Field::Month:
        month = part.toInt();
        break;
      case Field::MonthName:
        month = monthOfName(locale, part);
        break;
      case Field::Year2:
        year = part.size() == 4 ? part.toInt() : today.year() / 100 * 100 + part.toInt();
        break;
      case Field::Year4:
        year = part.toInt();
        break;
      case Field::Skip:
        break;
    }
  }
  if (year < 0 || month < 1 || day < 0) return std::nullopt;
  return fromParts(year, month, day);
}

struct Parts {
  int year = 0;
  int month = 0;
  int day = 0;
};

// "yyyy/m/d" or "yyyy-m-d" (one separator throughout, month and day of one or two digits), read
// by hand: a regular expression costs a start-up compile for this one everyday form.
std::optional<Parts> fullForm(const QString& text) {
  qsizetype at = 0;
  auto digits = [&](int least, int most) -> std::optional<int> {
    int value = 0;
    int count = 0;
    while (at < text.size() && count < most && text.at(at) >= QLatin1Char('0') &&
           text.at(at) <= QLatin1Char('9')) {
      value = value * 10 + (text.at(at).unicode() - '0');
      ++at;
      ++count;
    }
    if (count < least) return std::nullopt;
    return value;
  };
  const auto year = digits(4, 4);
  if (!year || at >= text.size()) return std::nullopt;
  const QChar separator = text.at(at++);
  if (separator != QLatin1Char('/') && separator != QLatin1Char('-')) return std::nullopt;
  const auto month = digits(1, 2);
  if (!month || at >= text.size() || text.at(at++) != separator) return std::nullopt;
  const auto day = digits(1, 2);
  if (!day || at != text.size()) return std::nullopt;
  return Parts{*year, *month, *day};
}

}  // namespace

std::optional<QDate> parse(const QString& typed, const QLocale& locale, const QDate& today) {
  const QString text = typed.trimmed();
  if (text.isEmpty()) return std::nullopt;

  if (const auto full = fullForm(text)) return fromParts(full->year, full->month, full->day);
  return parseShort(text, locale, today);
}

std::optional<QDate> parse(const QString& typed) {
  // The full form needs no locale; asking the system for one is most of a command line's date.
  const QString text = typed.trimmed();
  if (const auto full = fullForm(text)) return fromParts(full->year, full->month, full->day);
  return parse(text, QLocale::system(), QDate::currentDate());
}

QString format(const QDate& date) {
  // Written by hand: a format string would bring in the locale machinery for ten digits.
  int year = 0;
  int month = 0;
  int day = 0;
  date.getDate(&year, &month, &day);
  if (!date.isValid() || year < 1 || year > 9999)
    return date.toString(QStringLiteral("yyyy/MM/dd"));
  char text[kWidth];
  auto put = [&text](int at, int value, int digits) {
    for (int i = digits - 1; i >= 0; --i, value /= 10) text[at + i] = char('0' + value % 10);
  };
  put(0, year, 4);
  text[4] = '/';
  put(5, month, 2);
  text[7] = '/';
  put(8, day, 2);
  return QString::fromLatin1(text, kWidth);
}

QString formatShort(const QDate& date) {
  return QLocale::system().toString(date, QLocale::ShortFormat);
}

std::optional<QString> normalise(const QString& text) {
  const auto date = parse(text);
  if (!date) return std::nullopt;
  return format(*date);
}

}  // namespace dates
