#include "budget/budgetfile.h"

#include "platform/sidefile.h"

#include <QStringList>

namespace budgetfile {
namespace {

const QString kKind = QStringLiteral("varnix-budget");
constexpr int kVersion = 1;
const QStringList kRules{QStringLiteral("same"), QStringLiteral("months"),
                         QStringLiteral("spread")};
const QStringList kKnown{QStringLiteral("year"),   QStringLiteral("slot"), QStringLiteral("kind"),
                         QStringLiteral("name"),   QStringLiteral("rule"), QStringLiteral("amount"),
                         QStringLiteral("months"), QStringLiteral("own"),  QStringLiteral("carry")};

// Digits as written: no sign, no leading zeros, within the range.
std::optional<qint64> number(const QString& text, qint64 low, qint64 high) {
  if (text.isEmpty() || text.size() > 12 || (text.size() > 1 && text[0] == u'0')) {
    return std::nullopt;
  }
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
  }
  const qint64 value = text.toLongLong();
  if (value < low || value > high) return std::nullopt;
  return value;
}

QString joined(const budget::Months& months) {
  QStringList parts;
  for (qint64 v : months) parts << QString::number(v);
  return parts.join(u',');
}

QString joined(const std::array<std::optional<qint64>, 12>& months) {
  QStringList parts;
  for (const auto& v : months) parts << (v ? QString::number(*v) : QString());
  return parts.join(u',');
}

sidefile::Record recordOf(const budget::Plan& p) {
  sidefile::Record r{p.id, p.changed, p.deleted, {}};
  r.set(QStringLiteral("year"), QString::number(p.year));
  r.set(QStringLiteral("slot"), QString::number(p.slot));
  r.set(QStringLiteral("kind"), QString::number(p.kind));
  r.set(QStringLiteral("name"), p.name);
  r.set(QStringLiteral("rule"), kRules[static_cast<int>(p.rule)]);
  r.set(QStringLiteral("amount"), QString::number(p.amount));
  r.set(QStringLiteral("months"), joined(p.months));
  r.set(QStringLiteral("own"), joined(p.overrides));
  r.set(QStringLiteral("carry"), p.carryForward ? QStringLiteral("1") : QStringLiteral("0"));
  for (const auto& [key, value] : p.otherFields) r.set(key, value);
  return r;
}

// The plan a record holds; nothing when a field is missing or not as written.
std::optional<budget::Plan> planOf(const sidefile::Record& r) {
  budget::Plan p;
  p.id = r.id;
  p.changed = r.changed;
  p.deleted = r.deleted;
  const auto text = [&](const char* key) {
    return r.field(QLatin1String(key)).value_or(QString());
  };
  const auto year = number(text("year"), 1900, 9999);
  const auto slot = number(text("slot"), 0, 100);  // 0: the account is gone
  const auto kind = number(text("kind"), 3, 4);
  const auto amount = number(text("amount"), 0, budget::kMaxAmount);
  const qsizetype rule = kRules.indexOf(text("rule"));
  const auto name = r.field(QStringLiteral("name"));
  const QString carry = text("carry");
  if (!year || !slot || !kind || !amount || rule < 0 || !name || name->size() > 40 ||
      (carry != u'0' && carry != u'1')) {
    return std::nullopt;
  }
  p.year = static_cast<int>(*year);
  p.slot = static_cast<int>(*slot);
  p.kind = static_cast<int>(*kind);
  p.name = *name;
  p.rule = static_cast<budget::Rule>(rule);
  p.amount = *amount;
  p.carryForward = carry == u'1';
  const QStringList months = text("months").split(u',');
  const QStringList own = text("own").split(u',');
  if (months.size() != 12 || own.size() != 12) return std::nullopt;
  for (size_t m = 0; m < 12; ++m) {
    const auto v = number(months[static_cast<qsizetype>(m)], 0, budget::kMaxAmount);
    if (!v) return std::nullopt;
    p.months[m] = *v;
    const QString& o = own[static_cast<qsizetype>(m)];
    if (o.isEmpty()) continue;
    const auto w = number(o, 0, budget::kMaxAmount);
    if (!w) return std::nullopt;
    p.overrides[m] = *w;
  }
  for (const auto& [key, value] : r.fields) {
    if (!kKnown.contains(key)) p.otherFields.emplace_back(key, value);
  }
  return p;
}

std::vector<sidefile::Record> recordsOf(const std::vector<budget::Plan>& plans) {
  std::vector<sidefile::Record> records;
  records.reserve(plans.size());
  for (const budget::Plan& p : plans) records.push_back(recordOf(p));
  return records;
}

std::variant<std::vector<budget::Plan>, QString> plansOf(const sidefile::Contents& contents) {
  std::vector<budget::Plan> plans;
  for (size_t i = 0; i < contents.records.size(); ++i) {
    auto plan = planOf(contents.records[i]);
    if (!plan) {
      // Line 1 is the file's kind; the records follow from line 2.
      return QStringLiteral("預算檔第 %1 行有誤，檔案可能已損壞").arg(i + 2);
    }
    plans.push_back(std::move(*plan));
  }
  return plans;
}

}  // namespace

QString pathIn(const QString& bookFolder) { return bookFolder + QLatin1Char('/') + kFileName; }

std::variant<QByteArray, QString> write(const std::vector<budget::Plan>& plans) {
  return sidefile::serialize(kKind, kVersion, recordsOf(plans));
}

std::variant<std::vector<budget::Plan>, QString> read(const QByteArray& bytes) {
  const auto parsed = sidefile::parse(bytes, kKind, kVersion);
  if (const QString* why = std::get_if<QString>(&parsed)) return QStringLiteral("預算檔：") + *why;
  return plansOf(std::get<sidefile::Contents>(parsed));
}

std::variant<std::vector<budget::Plan>, QString> load(const QString& bookFolder) {
  const auto parsed = sidefile::read(pathIn(bookFolder), kKind, kVersion);
  if (const QString* why = std::get_if<QString>(&parsed)) return *why;
  return plansOf(std::get<sidefile::Contents>(parsed));
}

std::variant<std::vector<budget::Plan>, QString> save(const QString& bookFolder,
                                                      const std::vector<budget::Plan>& plans) {
  const QString path = pathIn(bookFolder);
  const auto parsed = sidefile::read(path, kKind, kVersion);
  if (const QString* why = std::get_if<QString>(&parsed)) return *why;
  const std::vector<sidefile::Record>& onDisk = std::get<sidefile::Contents>(parsed).records;
  // A copy this program could not read back is never merged into, nor written over.
  if (auto checked = plansOf(std::get<sidefile::Contents>(parsed));
      const QString* why = std::get_if<QString>(&checked)) {
    return *why;
  }
  const std::vector<sidefile::Record> merged = sidefile::merge(recordsOf(plans), onDisk);
  if (merged != onDisk) {
    if (auto error = sidefile::write(path, kKind, kVersion, merged)) return *error;
  }
  return plansOf({kVersion, merged});
}

}  // namespace budgetfile
