#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

#include "platform/sidefile.h"

namespace book {
class Workspace;
}

// Payee rules: the account a statement row's memo went to last time, so that the next import
// puts "全聯 信義店" where it went before. They are learned from imports and from the book's own
// entries, kept in a side file of the user's folder (never the book's), and the person may
// change or delete them. A deleted rule stays deleted: the book's entries do not bring it back.
namespace payeerules {

inline const QString kFileName = QStringLiteral("PayeeRules.txt");
inline const QString kKind = QStringLiteral("varnix-payee-rules");
inline constexpr int kVersion = 1;

// A memo as rules compare it: full-width forms as half-width, no case, single blanks.
QString key(const QString& memo);

struct Rule {
  QString id;
  QString memo;
  QString account;  // as the chart writes it, without trailing blanks
  QDateTime changed;
};

class Rules {
 public:
  // The user's rules; no file is no rules. The reason in words for a file that cannot be read.
  static std::variant<Rules, QString> load(const QString& userFolder);

  // The live rules, by memo.
  std::vector<Rule> listed() const;

  // The rule's account for the memo; `deleted` tells a rule the person deleted from none at all.
  std::optional<QString> accountFor(const QString& memo, bool* deleted = nullptr) const;

  // Makes or changes the memo's rule (the most recent choice wins).
  void learn(const QString& memo, const QString& account, const QDateTime& when);
  bool setAccount(const QString& id, const QString& account, const QDateTime& when);
  bool remove(const QString& id, const QDateTime& when);

  // Writes the rules, merged record by record with what the file holds now (another window or
  // computer may have changed it since it was read). The reason in words when it failed.
  std::optional<QString> save(const QString& userFolder) const;

 private:
  sidefile::Record* find(const QString& id);
  std::vector<sidefile::Record> records_;
};

// The account a memo goes to: its rule; none when the person deleted the rule; else what the
// book's entries teach (see learnedFromBook, keyed by key()).
std::optional<QString> suggest(const Rules& rules, const QHash<QString, QString>& fromBook,
                               const QString& memo);

// What the book's own entries teach: for each memo the account on the other side of the
// statement's account (or the entry's income or expense account), the latest date winning.
QHash<QString, QString> learnedFromBook(const book::Workspace& store, const QString& statement);

}  // namespace payeerules
