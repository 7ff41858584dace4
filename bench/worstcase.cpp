#include "worstcase.h"

#include "book/book.h"
#include "book/workspace.h"
#include "platform/dialogs.h"
#include "store/database.h"

#include <QDate>
#include <QDir>

#include <random>
#include <stdexcept>

namespace worstcase {
namespace {

const char16_t* const kSyllables[] = {u"銀行", u"存款", u"股票", u"信用", u"貸款", u"薪資", u"利息",
                                      u"投資", u"獎金", u"餐飲", u"交通", u"服裝", u"書籍", u"醫療",
                                      u"水電", u"房租", u"教育", u"其他", u"保險", u"旅遊"};

}  // namespace

void fill(book::Workspace& store) {
  std::mt19937 random(20251231);
  store.tables().accounts.clear();
  store.tables().entries.clear();
  store.tables().accounts[1] = store::makeAccount(QStringLiteral("A-現金"), store::kAsset);
  store.tables().accounts[2] = store::makeAccount(QStringLiteral("Equity"), store::kEquity);
  const char* prefixes[] = {"", "A-", "L-", "I-", "E-"};
  for (int slot = 3; slot <= store::kMaxAccounts; ++slot) {
    const int kind = 1 + (slot % 4);
    QString name = QString::fromLatin1(prefixes[kind]);
    name += QString::fromUtf16(kSyllables[slot % 20]);
    name += QString::fromUtf16(kSyllables[(slot * 7) % 20]);
    name += QString::number(slot);
    store.tables().accounts[slot] = store::makeAccount(name, static_cast<qint16>(kind));
  }
  store.tables().accountCount = store::kMaxAccounts + 1;

  const QDate start(2025, 1, 1);
  std::uniform_int_distribution<int> day(0, 364);
  std::uniform_int_distribution<int> account(3, store::kMaxAccounts);
  std::uniform_int_distribution<int> amount(1, 250000);
  for (int slot = 1; slot <= store::kMaxEntries; ++slot) {
    // A third of the entries touch cash, so one account has a long ledger.
    const int first = account(random);
    int second = slot % 3 == 0 ? 1 : account(random);
    if (second == first) second = 1;
    const qint16 secondKind = store.tables().accounts[second].AccountKind;
    if (secondKind == store::kIncome || secondKind == store::kExpense) second = 1;
    store.tables().entries[slot] = store::makeEntry(
        dates::format(start.addDays(day(random))), store.tables().accounts[first].AccountName,
        store.tables().accounts[second].AccountName, amount(random),
        QStringLiteral("第%1筆 備註 memo").arg(slot));
  }
  store.tables().entryCount = store::kMaxEntries + 1;
}

QString writeFolder(const QString& installFolder) {
  book::Workspace store(installFolder);
  store.user().setUserName(QStringLiteral("bench"));
  store.user().setDatabaseName(QStringLiteral("worst"));
  QDir().mkpath(store.user().databaseFolder());
  fill(store);
  if (auto error = book::save(store).refusal) throw std::runtime_error(error->text.toStdString());
  return store.user().databaseFolder();
}

int busiestAccount(const book::Workspace& store) {
  int best = 1;
  int bestCount = -1;
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    int count = 0;
    for (int i = 1; i < store.tables().entryCount; ++i) {
      const store::LedgerEntry& e = store.tables().entries[i];
      if (e.IncreaseAccount == store.tables().accounts[slot].AccountName ||
          e.DecreaseAccount == store.tables().accounts[slot].AccountName) {
        ++count;
      }
    }
    if (count > bestCount) {
      best = slot;
      bestCount = count;
    }
  }
  return best;
}

OpenBook::OpenBook() {
  writeFolder(dir.path());
  store.user().setUserName(QStringLiteral("bench"));
  store.user().setDatabaseName(QStringLiteral("worst"));
  book::open(store);
}

}  // namespace worstcase
