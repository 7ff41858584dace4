#pragma once

#include "store/records.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

namespace book {
class Workspace;
}

// Finding entries by memo, account, amount and date, in the open book or in every book of the
// user. Other books are read from their files once and never written.
namespace search {

// Text as the search compares it: full-width forms as their half-width twins ("ＡＴＭ" is
// "ATM", "１２" is "12"), Latin letters without case, no blanks at the ends.
QString fold(const QString& text);

// What a person typed into the search window's boxes. Empty boxes ask nothing.
struct TypedCriteria {
  QString text{};        // in the memo
  QString account{};     // a part of the name of either account
  QString amountFrom{};  // alone: exactly this amount
  QString amountTo{};    // with it: from-to; alone: at most this
  QString dateFrom{};
  QString dateTo{};
};

// The window's boxes as the person left them: the next opening in the same run starts there.
struct Remembered {
  TypedCriteria typed;
  bool everyBook = false;
};

// The criteria, checked and folded.
struct Criteria {
  QString text;
  QString account;
  std::optional<qint64> amountMin;
  std::optional<qint64> amountMax;
  QString dateFrom;  // "yyyy/mm/dd", empty: no lower bound
  QString dateTo{};

  bool asksNothing() const {
    return text.isEmpty() && account.isEmpty() && !amountMin && !amountMax && dateFrom.isEmpty() &&
           dateTo.isEmpty();
  }
};

// The criteria, or why they cannot be searched for: a box that holds no date or no amount, or
// a range whose start lies after its end (refused, not swapped: the person may be half-way
// through typing the other end).
std::variant<Criteria, QString> readCriteria(const TypedCriteria& typed);

// One entry found.
struct Hit {
  int book = 0;  // index into Searcher::books()
  int slot = 0;
  QString date;
  QString increase;  // without the filling blanks
  QString decrease;
  qint32 amount = 0;
  QString memo;  // without the filling blanks
};

struct Results {
  std::vector<Hit> hits;
  qint64 sum = 0;
  QStringList skipped;  // one line for each book that could not be read
};

// A book made ready for searching: its entries with their texts folded once, so that each
// keystroke compares only.
class Book {
 public:
  Book(QString name, const store::EntryTableType& entries, int entryCount);

  const QString& name() const { return name_; }
  void search(const Criteria& criteria, int bookIndex, Results& results) const;

 private:
  struct Row {
    int slot;
    QString memo;  // folded
    QString increase;
    QString decrease;
  };
  QString name_;
  std::vector<store::LedgerEntry> entries_;  // slot n at n - 1
  std::vector<Row> rows_;
};

// The books a search looks through: the open one (always first), and, once asked for, the
// user's other books as their files hold them.
class Searcher {
 public:
  explicit Searcher(const book::Workspace& store);

  // Reads every other book of the user's list once; a book that cannot be read is left out
  // with a line that says why. Does nothing the second time.
  void readOtherBooks();
  bool otherBooksRead() const { return othersRead_; }

  const std::vector<Book>& books() const { return books_; }
  bool isOpenBook(int book) const { return book == 0; }

  // The open book alone, or every book read.
  Results run(const Criteria& criteria, bool everyBook) const;

 private:
  const book::Workspace& store_;
  std::vector<Book> books_;
  QStringList skipped_;
  bool othersRead_ = false;
};

}  // namespace search
