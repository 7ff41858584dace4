#pragma once

#include "platform/widgets/FixedDialog.h"
#include "search/search.h"

#include <memory>

class Module1;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
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
  explicit SearchForm(Module1& store, QWidget* parent = nullptr);
  ~SearchForm() override;

  const SearchOutcome& outcome() const { return outcome_; }
  const search::Results& results() const { return results_; }
  const search::Searcher& searcher() const { return *searcher_; }

 private:
  void runSearch();
  void onResultActivated(int row);
  void printResults();
  void saveResultsAsPdf();
  printing::SearchCriteria criteria() const;

  Module1& store_;
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
  QLabel* summary_;
  QLabel* notes_;
};

// Shows the search window modally and returns what to do next.
SearchOutcome openSearch(Module1& store, QWidget* parent);
