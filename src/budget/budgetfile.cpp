#include "budget/budgetfile.h"

#include "platform/safefile.h"

#include <QFileInfo>
#include <QList>
#include <QSet>
#include <QStringDecoder>

namespace budgetfile {
namespace {

constexpr int kFields = 12;
constexpr qint64 kLowestYear = 1900;
constexpr qint64 kHighestYear = 9999;

// Tabs and line breaks inside a name would cut the record: they are written as escapes.
QByteArray escaped(const QString& text) {
  QByteArray out;
  for (const char c : text.toUtf8()) {
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

std::optional<QString> unescaped(const QByteArray& bytes) {
  QByteArray out;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\\') {
      out += bytes[i];
      continue;
    }
    if (++i == bytes.size()) return std::nullopt;
    switch (bytes[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return std::nullopt;
    }
  }
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8(out);
  if (utf8.hasError()) return std::nullopt;  // no UTF-8: a foreign file
  return text;
}

std::optional<qint64> number(const QByteArray& field, qint64 low, qint64 high) {
  // As written: no sign, no leading zeros.
  if (field.isEmpty() || field.size() > 12 || (field.size() > 1 && field[0] == '0')) {
    return std::nullopt;
  }
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return std::nullopt;
  }
  const qint64 value = field.toLongLong();
  if (value < low || value > high) return std::nullopt;
  return value;
}

QByteArray amounts(const budget::Months& months) {
  QList<QByteArray> parts;
  for (qint64 v : months) parts << QByteArray::number(v);
  return parts.join(',');
}

QByteArray overrides(const std::array<std::optional<qint64>, 12>& months) {
  QList<QByteArray> parts;
  for (const auto& v : months) parts << (v ? QByteArray::number(*v) : QByteArray());
  return parts.join(',');
}

// One record's fields; nothing when any field is not as written.
std::optional<budget::Plan> record(const QByteArray& line) {
  const QList<QByteArray> f = line.split('\t');
  if (f.size() != kFields) return std::nullopt;
  budget::Plan p;
  const auto id = unescaped(f[0]);
  if (!id || id->isEmpty() || id->size() > 64) return std::nullopt;
  p.id = *id;
  p.changed = QDateTime::fromString(QString::fromLatin1(f[1]), Qt::ISODate);
  // Whole seconds in UTC, as written: anything else would not survive the next write.
  if (!p.changed.isValid() || p.changed.timeSpec() != Qt::UTC || p.changed.time().msec() != 0 ||
      p.changed.toString(Qt::ISODate).toLatin1() != f[1]) {
    return std::nullopt;
  }
  if (f[2] != "0" && f[2] != "1") return std::nullopt;
  p.deleted = f[2] == "1";
  const auto year = number(f[3], kLowestYear, kHighestYear);
  const auto slot = number(f[4], 1, 100);
  const auto kind = number(f[5], 3, 4);
  const auto name = unescaped(f[6]);
  const auto rule = number(f[7], 0, 2);
  const auto amount = number(f[8], 0, budget::kMaxAmount);
  if (!year || !slot || !kind || !name || name->size() > 40 || !rule || !amount) {
    return std::nullopt;
  }
  p.year = static_cast<int>(*year);
  p.slot = static_cast<int>(*slot);
  p.kind = static_cast<int>(*kind);
  p.name = *name;
  p.rule = static_cast<budget::Rule>(*rule);
  p.amount = *amount;
  const QList<QByteArray> months = f[9].split(',');
  const QList<QByteArray> own = f[10].split(',');
  if (months.size() != 12 || own.size() != 12) return std::nullopt;
  for (size_t m = 0; m < 12; ++m) {
    const auto v = number(months[static_cast<qsizetype>(m)], 0, budget::kMaxAmount);
    if (!v) return std::nullopt;
    p.months[m] = *v;
    const QByteArray& o = own[static_cast<qsizetype>(m)];
    if (o.isEmpty()) continue;
    const auto w = number(o, 0, budget::kMaxAmount);
    if (!w) return std::nullopt;
    p.overrides[m] = *w;
  }
  if (f[11] != "0" && f[11] != "1") return std::nullopt;
  p.carryForward = f[11] == "1";
  return p;
}

}  // namespace

QString pathIn(const QString& bookFolder) { return bookFolder + QLatin1Char('/') + kFileName; }

QByteArray write(const std::vector<budget::Plan>& plans) {
  QByteArray out = kHeader + '\n';
  for (const budget::Plan& p : plans) {
    const QList<QByteArray> fields{
        escaped(p.id),
        p.changed.toUTC().toString(Qt::ISODate).toLatin1(),
        p.deleted ? "1" : "0",
        QByteArray::number(p.year),
        QByteArray::number(p.slot),
        QByteArray::number(p.kind),
        escaped(p.name),
        QByteArray::number(static_cast<int>(p.rule)),
        QByteArray::number(p.amount),
        amounts(p.months),
        overrides(p.overrides),
        p.carryForward ? "1" : "0"};
    out += fields.join('\t') + '\n';
  }
  return out;
}

std::variant<std::vector<budget::Plan>, QString> read(const QByteArray& bytes) {
  if (bytes.size() > kMaxBytes) return QStringLiteral("預算檔太大，不像是本程式的預算檔");
  QList<QByteArray> lines = bytes.split('\n');
  if (lines.isEmpty() || lines.first() != kHeader) {
    return QStringLiteral("這不是本程式的預算檔，或是較新版本所寫");
  }
  if (!lines.last().isEmpty()) return QStringLiteral("預算檔的最後一行不完整，檔案可能已損壞");
  lines.removeLast();
  std::vector<budget::Plan> plans;
  QSet<QString> ids;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    auto plan = record(lines[i]);
    if (!plan || ids.contains(plan->id)) {
      return QStringLiteral("預算檔第 %1 行有誤，檔案可能已損壞").arg(i + 1);
    }
    ids.insert(plan->id);
    plans.push_back(std::move(*plan));
  }
  return plans;
}

std::variant<std::vector<budget::Plan>, QString> load(const QString& bookFolder) {
  const QString path = pathIn(bookFolder);
  if (!QFileInfo::exists(path)) return std::vector<budget::Plan>{};
  const auto bytes = safefile::read(path);
  if (!bytes) return QStringLiteral("無法讀取預算檔「%1」").arg(path);
  return read(*bytes);
}

std::optional<QString> save(const QString& bookFolder, const std::vector<budget::Plan>& plans) {
  return safefile::write(pathIn(bookFolder), write(plans));
}

}  // namespace budgetfile
