#pragma once

#include "platform/widgets/FixedDialog.h"
#include "search/search.h"

#include <memory>

class Dialogs;
namespace book {
class Workspace;
}
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTreeView;
class SearchResultsModel;
namespace printing {
struct SearchCriteria;
}

// What the person chose in the search window, for the main window to carry out once the
// window has gone: show an entry of the open book, or open another book.
struct SearchOutcome {
  enum class Kind { Nothing, ShowEntry, OpenBook } kind = Kind::Nothing;
  int slot = 0;         // ShowEntry: the entry
  int accountSlot = 0;  // ShowEntry: the account whose ledger shows it
  QString book;         // OpenBook
};

// "尋找": results follow every keystroke; a double click on one leaves with what to show.
class SearchForm : public FixedDialog {
  Q_OBJECT

 public:
  // The controls' names, for tests and screen readers.
  static constexpr const char* kMemoText = "MemoText";
  static constexpr const char* kAccountText = "AccountText";
  static constexpr const char* kAmountFrom = "AmountFrom";
  static constexpr const char* kAmountTo = "AmountTo";
  static constexpr const char* kDateFrom = "DateFrom";
  static constexpr const char* kDateTo = "DateTo";
  static constexpr const char* kEveryBook = "EveryBook";
  static constexpr const char* kResults = "Results";
  static constexpr const char* kSummary = "Summary";
  static constexpr const char* kNotes = "Notes";
  static constexpr const char* kPrint = "Print";
  static constexpr const char* kSavePdf = "SavePdf";
  static constexpr const char* kClose = "Close";
  // The result list's columns.
  enum Column { kBook, kDate, kIncrease, kDecrease, kAmount, kMemo, kSlot, kColumns };

  // Starts with the boxes as `remembered` holds them and keeps them there as they change.
  SearchForm(book::Workspace& store, Dialogs& dialogs, search::Remembered& remembered,
             QWidget* parent = nullptr);
  ~SearchForm() override;

  const SearchOutcome& outcome() const { return outcome_; }
  const search::Results& results() const { return results_; }
  const search::Searcher& searcher() const { return *searcher_; }

 private:
  void buildCriteriaBoxes(QGridLayout* grid);
  void buildResultList();
  void runSearch();
  void onResultActivated(int row);
  void printResults();
  void saveResultsAsPdf();
  printing::SearchCriteria criteria() const;

  book::Workspace& store_;
  Dialogs& dialogs_;
  search::Remembered& remembered_;
  std::unique_ptr<search::Searcher> searcher_;
  search::Results results_;
  SearchOutcome outcome_;

  QLineEdit* memoBox_;
  QComboBox* accountBox_;
  QLineEdit* amountFromBox_;
  QLineEdit* amountToBox_;
  QLineEdit* dateFromBox_;
  QLineEdit* dateToBox_;
  QCheckBox* everyBookBox_;
  QTreeView* resultList_;
  SearchResultsModel* model_;
  QSortFilterProxyModel* sorted_;
  QLabel* summary_;
  QLabel* notes_;
};

// Shows the search window modally and returns what to do next; the boxes are remembered.
SearchOutcome openSearch(book::Workspace& store, Dialogs& dialogs, search::Remembered& remembered,
                         QWidget* parent);
