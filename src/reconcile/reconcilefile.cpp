#include "reconcile/reconcilefile.h"

#include "platform/sidefile.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace reconcile {
namespace {

const QString kType = QStringLiteral("type");
const QString kReconciliationType = QStringLiteral("reconciliation");
const QString kTickType = QStringLiteral("tick");

QString tickId(const QString& reconciliation, const EntryKey& key) {
  return reconciliation + QLatin1Char('-') + key.digest + QLatin1Char('-') +
         QString::number(key.occurrence);
}

std::optional<qint64> integer(const std::optional<QString>& text, qint64 low, qint64 high) {
  if (!text) return std::nullopt;
  bool ok = false;
  const qint64 value = text->toLongLong(&ok);
  if (!ok || value < low || value > high || text->trimmed() != *text) return std::nullopt;
  return value;
}

bool isDigest(const QString& text) {
  static const QRegularExpression form(QStringLiteral("^[0-9a-f]{16}$"));
  return form.match(text).hasMatch();
}

// A tick's Release as the file names it.
const QString kReleased[] = {QString(), QStringLiteral("changed"), QStringLiteral("deleted")};

std::optional<Release> releaseOf(const QString& text) {
  for (int i = 0; i < 3; ++i)
    if (text == kReleased[i]) return static_cast<Release>(i);
  return std::nullopt;
}

// Sums of up to 3,000 amounts of 32 bits: far inside this.
constexpr qint64 kBalanceLimit = qint64{1} << 50;

std::vector<sidefile::Record> recordsOf(const std::vector<Reconciliation>& all) {
  std::vector<sidefile::Record> out;
  for (const Reconciliation& r : all) {
    out.push_back({r.id,
                   r.changed,
                   r.deleted,
                   {{kType, kReconciliationType},
                    {"account", r.account.trimmed()},
                    {"statement", r.statementDate.toString(Qt::ISODate)},
                    {"starting", QString::number(r.starting)},
                    {"ending", QString::number(r.ending)},
                    {"finished", r.finished ? "1" : "0"}}});
    for (const TickedEntry& t : r.ticked)
      out.push_back({tickId(r.id, t.key),
                     r.changed,
                     r.deleted,
                     {{kType, kTickType},
                      {"reconciliation", r.id},
                      {"digest", t.key.digest},
                      {"occurrence", QString::number(t.key.occurrence)},
                      {"amount", QString::number(t.amount)},
                      {"released", kReleased[static_cast<int>(t.released)]}}});
  }
  return out;
}

std::vector<Reconciliation> reconciliationsOf(const std::vector<sidefile::Record>& records) {
  std::vector<Reconciliation> all;
  QHash<QString, size_t> at;
  // Files of an earlier version marked a whole reconciliation broken ("broken=<why>") instead
  // of its ticks: each of its ticks counts as released then.
  QHash<QString, Release> brokenWhole;
  for (const sidefile::Record& rec : records) {
    if (rec.field(kType) != kReconciliationType) continue;
    const QDate statement = QDate::fromString(rec.field("statement").value_or(""), Qt::ISODate);
    const auto starting = integer(rec.field("starting"), -kBalanceLimit, kBalanceLimit);
    const auto ending = integer(rec.field("ending"), -kBalanceLimit, kBalanceLimit);
    const auto finished = integer(rec.field("finished"), 0, 1);
    const QString account = rec.field("account").value_or("");
    if (!statement.isValid() || !starting || !ending || !finished || account.isEmpty() ||
        account.size() > store::kNameWidth)
      continue;
    at.insert(rec.id, all.size());
    all.push_back({rec.id,
                   rec.changed,
                   rec.deleted,
                   account,
                   statement,
                   *starting,
                   *ending,
                   *finished == 1,
                   {}});
    if (const QString broken = rec.field("broken").value_or(""); !broken.isEmpty())
      brokenWhole.insert(
          rec.id, broken.contains(QStringLiteral("刪除")) ? Release::Deleted : Release::Changed);
  }
  for (const sidefile::Record& rec : records) {
    if (rec.deleted || rec.field(kType) != kTickType) continue;
    const QString owner = rec.field("reconciliation").value_or("");
    const QString digest = rec.field("digest").value_or("");
    const auto occurrence = integer(rec.field("occurrence"), 0, store::kMaxEntries);
    const auto amount = integer(rec.field("amount"), INT32_MIN, INT32_MAX);
    const auto released = releaseOf(rec.field("released").value_or(""));
    const auto found = at.constFind(owner);
    if (found == at.constEnd() || !isDigest(digest) || !occurrence || !amount || !released)
      continue;
    const EntryKey key{digest, static_cast<int>(*occurrence)};
    if (rec.id != tickId(owner, key)) continue;
    all[*found].ticked.push_back({key, *amount, brokenWhole.value(owner, *released)});
  }
  return all;
}

}  // namespace

QString reconciliationsPath(const QString& bookFolder) {
  return bookFolder + QLatin1Char('/') + kReconciliationsFile;
}

std::variant<std::vector<Reconciliation>, QString> reconciliationsFrom(const QByteArray& bytes) {
  auto parsed = sidefile::parse(bytes, kReconciliationsKind, kReconciliationsVersion);
  if (auto* reason = std::get_if<QString>(&parsed)) return *reason;
  return reconciliationsOf(std::get<sidefile::Contents>(parsed).records);
}

std::variant<std::vector<Reconciliation>, QString> readReconciliations(const QString& bookFolder) {
  auto read = sidefile::read(reconciliationsPath(bookFolder), kReconciliationsKind,
                             kReconciliationsVersion);
  if (auto* reason = std::get_if<QString>(&read)) return *reason;
  return reconciliationsOf(std::get<sidefile::Contents>(read).records);
}

std::variant<std::vector<Reconciliation>, QString> writeReconciliations(
    const QString& bookFolder, const std::vector<Reconciliation>& all) {
  const QString path = reconciliationsPath(bookFolder);
  // A book that never reconciled gets no file.
  if (all.empty() && !QFileInfo::exists(path)) return all;
  auto read = sidefile::read(path, kReconciliationsKind, kReconciliationsVersion);
  if (auto* reason = std::get_if<QString>(&read)) return *reason;
  std::vector<sidefile::Record> ours = recordsOf(all);
  QSet<QString> held;
  for (const sidefile::Record& r : ours) held.insert(r.id);
  QHash<QString, QDateTime> changedAt;
  for (const Reconciliation& r : all) changedAt.insert(r.id, r.changed);
  // A tick the file holds and we took back goes as a deletion at our change.
  for (const sidefile::Record& r : std::get<sidefile::Contents>(read).records) {
    const QString owner = r.field("reconciliation").value_or("");
    if (r.deleted || r.field(kType) != kTickType || held.contains(r.id) ||
        !changedAt.contains(owner))
      continue;
    sidefile::Record gone = r;
    gone.deleted = true;
    gone.changed = changedAt.value(owner);
    ours.push_back(gone);
  }
  const auto merged = sidefile::merge(ours, std::get<sidefile::Contents>(read).records);
  if (auto error = sidefile::write(path, kReconciliationsKind, kReconciliationsVersion, merged))
    return *error;
  return reconciliationsOf(merged);
}

}  // namespace reconcile
