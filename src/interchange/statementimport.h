#pragma once

#include "interchange/csvtext.h"
#include "interchange/statementvalues.h"
#include "platform/message.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>
#include <variant>
#include <vector>

namespace book {
class Workspace;
}

namespace interchange {

// Importing a bank or card statement: which column holds what, the rows as they would become
// entries, and the import itself.

// Columns count from 0; -1 is none. Either one signed amount column or the two columns of money
// out and money in.
struct ImportLayout {
  bool hasHeader = false;
  int date = -1;
  int amount = -1;
  int out = -1;
  int in = -1;
  QList<int> memo;  // joined with one blank
  // The statement's own account and the defaults chosen with this layout; empty when unknown.
  QString statementAccount;
  QString outAccount;
  QString inAccount;
  int balance = -1;  // the balance after each row, where the bank gives it; read for reconciling
  // How the date column is read; files remembered before the choice existed were year first.
  statementvalues::DateOrder dateOrder = statementvalues::DateOrder::YearFirst;

  bool twoColumns() const { return amount < 0; }
  bool operator==(const ImportLayout&) const = default;
};

// Whether the first row is a header: none of its cells is a date while a later row has one.
bool looksLikeHeader(const std::vector<csvtext::Row>& rows);

// A first guess from the header's words (日期, 金額, 支出/存入, 摘要, ...) and the values, with
// the order of the date column's dates.
ImportLayout guessLayout(const std::vector<csvtext::Row>& rows);

// Remembered layouts, one per header row, in a file of the user's own folder (never the book's).
inline const QString kLayoutsFile = QStringLiteral("ImportLayouts.json");
std::optional<ImportLayout> rememberedLayout(const QString& userFolder, const csvtext::Row& header);
// The refusal in words when the file could not be written; the earlier file then stays.
std::optional<QString> rememberLayout(const QString& userFolder, const csvtext::Row& header,
                                      const ImportLayout& layout);

// The accounts: the statement's own (an asset or a liability), and where money out and money in
// go unless a row says otherwise.
struct ImportAccounts {
  QString statement;
  QString out;
  QString in;
};

// Where a row's account came from: a payee rule, the default for its direction, or the person.
enum class AccountSource { Default, Rule, Manual };

// One row of the file as it would become an entry.
struct PreviewRow {
  int line = 0;          // the row's number in the file, from 1
  QString date;          // "yyyy/mm/dd"
  qint32 amount = 0;     // signed: below 0 money out
  QString memo;          // as the memo field keeps it, without trailing blanks
  bool memoCut = false;  // the memo field could not hold all of it
  QString other;         // the account on the other side
  QString problem;       // why the row cannot be imported; empty when it can
  bool duplicate = false;
  bool repeatedInFile = false;  // the same date, amount and memo as an earlier row of the file
  bool ticked = false;
  AccountSource source = AccountSource::Default;
};

// The payee rule's account for a memo, if any.
using RuleLookup = std::function<std::optional<QString>(const QString& memo)>;

// Rows with a problem are unticked and say why; a probable duplicate (date, amount and memo of
// an entry of the statement's account) is unticked; the rest are ticked, rows repeated within
// the file too (two equal interest lines on one day can be real). A row's account is its memo's
// rule when the rule names an account of the chart, else the default for its direction.
std::vector<PreviewRow> buildPreview(const book::Workspace& store,
                                     const std::vector<csvtext::Row>& rows,
                                     const ImportLayout& layout, const ImportAccounts& accounts,
                                     const RuleLookup& ruleFor = {});

// What the person chose for a row (by its line in the file): kept when the preview is built
// again for other defaults or columns.
struct RowChoice {
  std::optional<bool> ticked;
  QString account;  // empty: none chosen
};
void keepChoices(std::vector<PreviewRow>& rows, const std::map<int, RowChoice>& choices);

// The refusal when the accounts cannot take a statement (missing, or of the wrong kind).
std::optional<Message> checkAccounts(const book::Workspace& store, const ImportAccounts& accounts);

// What an import did: the slots it filled, for a history to undo later.
struct ImportDone {
  int firstSlot = 0;
  int count = 0;
  Message message;
};

// Imports the ticked rows as entries, all or none: every check first (accounts, problems, room
// in the table), then the entries. The book is saved as any other change is.
std::variant<ImportDone, Message> importRows(book::Workspace& store,
                                             const std::vector<PreviewRow>& rows,
                                             const ImportAccounts& accounts);

// What an imported statement offers the reconciliation: its account, its latest date, its
// balance on that date where the layout names a balance column, and the entries that stand for
// its rows, to be ticked: those the import just made, and for each row left out as a probable
// duplicate, the entry of the statement's account it matched (each entry once).
struct StatementOffer {
  QString account;
  QDate date;
  std::optional<qint64> ending;
  std::vector<int> matchedSlots;
};
StatementOffer statementOffer(const book::Workspace& store, const std::vector<csvtext::Row>& rows,
                              const ImportLayout& layout, const std::vector<PreviewRow>& preview,
                              const ImportAccounts& accounts, const ImportDone& done);

}  // namespace interchange
