#include "search/SearchForm.h"

#include "book/workspace.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/colours.h"
#include "platform/widgets/fonts.h"
#include "reports/period/period.h"
#include "search/document.h"
#include "store/ledger.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QToolButton>
#include <QTreeView>

constexpr int kSortRole = Qt::UserRole;

// The hits as the result list shows them; replaced whole after every keystroke.
class SearchResultsModel : public QAbstractTableModel {
 public:
  SearchResultsModel(const search::Searcher& searcher, QObject* parent)
      : QAbstractTableModel(parent), searcher_(searcher) {}

  void show(const search::Results* results) {
    beginResetModel();
    results_ = results;
    endResetModel();
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !results_ ? 0 : static_cast<int>(results_->hits.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : 7;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || !results_) return {};
    if (role == Qt::TextAlignmentRole) {
      const bool right = index.column() == 4 || index.column() == 6;
      return QVariant::fromValue((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    const search::Hit& hit = results_->hits[static_cast<size_t>(index.row())];
    // Dates sort as their "yyyy/mm/dd" text does; amounts and numbers as numbers.
    if (role == kSortRole) {
      if (index.column() == SearchForm::kAmount) return hit.amount;
      if (index.column() == SearchForm::kSlot) return hit.slot;
      return data(index, Qt::DisplayRole);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
      case 0:
        return searcher_.books()[static_cast<size_t>(hit.book)].name();
      case 1:
        return hit.date;
      case 2:
        return hit.increase;
      case 3:
        return hit.decrease;
      case 4:
        return period::grouped(hit.amount);
      case 5: {
        QString memo = hit.memo;
        memo.replace(QLatin1String("\r\n"), QLatin1String(" "));
        return memo;
      }
      default:
        return hit.slot;
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return headers().value(section);
  }

  static QStringList headers() {
    return {QStringLiteral("帳本"),     QStringLiteral("日期"), QStringLiteral("資產增加"),
            QStringLiteral("資產減少"), QStringLiteral("金額"), QStringLiteral("備註"),
            QStringLiteral("編號")};
  }

 private:
  const search::Searcher& searcher_;
  const search::Results* results_ = nullptr;
};

namespace {

QLineEdit* criterionBox(QWidget* parent, const char* name, const QString& hint) {
  QLineEdit* box = build::lineEdit(parent, name);
  box->setPlaceholderText(hint);
  box->setClearButtonEnabled(true);
  // The clearing cross would otherwise be a button without a name.
  for (QToolButton* cross : box->findChildren<QToolButton*>())
    cross->setAccessibleName(QStringLiteral("清除"));
  return box;
}

// The rows in the order the list shows them, for printing.
std::vector<QStringList> shownTexts(const QAbstractItemModel& model) {
  std::vector<QStringList> rows;
  for (int r = 0; r < model.rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c) cells << model.index(r, c).data().toString();
    rows.push_back(cells);
  }
  return rows;
}

}  // namespace

SearchForm::SearchForm(book::Workspace& store, Dialogs& dialogs, search::Remembered& remembered,
                       QWidget* parent)
    : FixedDialog(parent),
      store_(store),
      dialogs_(dialogs),
      remembered_(remembered),
      searcher_(std::make_unique<search::Searcher>(store)) {
  setObjectName(QStringLiteral("SearchForm"));
  setWindowTitle(QStringLiteral("尋找"));
  setFont(uiFont(9));
  setClientSize(760, 520);

  auto* grid = new QGridLayout;
  buildCriteriaBoxes(grid);
  buildResultList();

  summary_ = build::label(this, kSummary, QString());
  notes_ = build::label(this, kNotes, QString());
  notes_->setWordWrap(true);
  QPalette warning = notes_->palette();
  warning.setColor(QPalette::WindowText,
                   readableOn(QColor(0xb0, 0, 0), warning.color(QPalette::Window)));
  notes_->setPalette(warning);

  // Enter in a box only searches (it already has): it must not print or close the window.
  using build::Enter;
  QPushButton* printButton =
      build::button(this, kPrint, QStringLiteral("列印(&P)"), {}, Enter::Ignored);
  QPushButton* pdfButton =
      build::button(this, kSavePdf, QStringLiteral("存成PDF(&S)"), {}, Enter::Ignored);
  QPushButton* closeButton =
      build::button(this, kClose, QStringLiteral("關閉"), {}, Enter::Ignored);
  setCancelButton(closeButton);
  QHBoxLayout* buttons = build::buttonRow({printButton, pdfButton, closeButton});
  buttons->insertWidget(0, summary_, 1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(grid);
  column->addWidget(resultList_, 1);
  column->addWidget(notes_);
  column->addLayout(buttons);

  for (QLineEdit* b : {memoBox_, amountFromBox_, amountToBox_, dateFromBox_, dateToBox_}) {
    connect(b, &QLineEdit::textChanged, this, &SearchForm::runSearch);
  }
  connect(accountBox_, &QComboBox::currentTextChanged, this, &SearchForm::runSearch);
  connect(everyBookBox_, &QCheckBox::toggled, this, [this](bool every) {
    if (every) searcher_->readOtherBooks();
    runSearch();
  });
  connect(resultList_, &QTreeView::activated, this, [this](const QModelIndex& index) {
    onResultActivated(sorted_->mapToSource(index).row());
  });
  connect(printButton, &QPushButton::clicked, this, &SearchForm::printResults);
  connect(pdfButton, &QPushButton::clicked, this, &SearchForm::saveResultsAsPdf);
  connect(closeButton, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });
  if (remembered_.everyBook) searcher_->readOtherBooks();
  runSearch();
}

void SearchForm::buildCriteriaBoxes(QGridLayout* grid) {
  const search::TypedCriteria& last = remembered_.typed;
  memoBox_ = criterionBox(this, kMemoText, QStringLiteral("備註裡的文字"));
  accountBox_ = new QComboBox(this);
  accountBox_->setObjectName(QLatin1String(kAccountText));
  accountBox_->setEditable(true);
  accountBox_->setInsertPolicy(QComboBox::NoInsert);
  accountBox_->addItem(QString());
  for (const QString& name : store::accountListNames(store_.tables()))
    accountBox_->addItem(store::trimTrailingSpaces(name));
  accountBox_->lineEdit()->setPlaceholderText(QStringLiteral("任一邊的帳戶"));
  amountFromBox_ = criterionBox(this, kAmountFrom, QStringLiteral("金額，或下限"));
  amountToBox_ = criterionBox(this, kAmountTo, QStringLiteral("上限"));
  dateFromBox_ = criterionBox(this, kDateFrom, QStringLiteral("2025/1/1"));
  dateToBox_ = criterionBox(this, kDateTo, QStringLiteral("2025/12/31"));
  everyBookBox_ = new QCheckBox(QStringLiteral("所有帳本(&L)"), this);
  everyBookBox_->setObjectName(QLatin1String(kEveryBook));
  // Set before any signal is connected: the first search runs once, on all of them.
  memoBox_->setText(last.text);
  accountBox_->setEditText(last.account);
  amountFromBox_->setText(last.amountFrom);
  amountToBox_->setText(last.amountTo);
  dateFromBox_->setText(last.dateFrom);
  dateToBox_->setText(last.dateTo);
  everyBookBox_->setChecked(remembered_.everyBook);
  // Named for a screen reader: the upper bounds' only caption is the "至" between the boxes.
  amountToBox_->setAccessibleName(QStringLiteral("金額上限"));
  dateToBox_->setAccessibleName(QStringLiteral("日期上限"));

  const auto label = [&](const QString& text, QWidget* buddy, int row, int column) {
    auto* l = new QLabel(text, this);
    l->setBuddy(buddy);
    grid->addWidget(l, row, column);
  };
  const auto range = [this](QLineEdit* from, QLineEdit* to) {
    auto* row = new QHBoxLayout;
    row->addWidget(from);
    row->addWidget(new QLabel(QStringLiteral("至"), this));
    row->addWidget(to);
    return row;
  };
  label(QStringLiteral("備註(&M)"), memoBox_, 0, 0);
  grid->addWidget(memoBox_, 0, 1);
  label(QStringLiteral("帳戶(&C)"), accountBox_, 0, 2);
  grid->addWidget(accountBox_, 0, 3);
  grid->addWidget(everyBookBox_, 0, 4);
  label(QStringLiteral("金額(&N)"), amountFromBox_, 1, 0);
  grid->addLayout(range(amountFromBox_, amountToBox_), 1, 1);
  label(QStringLiteral("日期(&T)"), dateFromBox_, 1, 2);
  grid->addLayout(range(dateFromBox_, dateToBox_), 1, 3, 1, 2);
}

void SearchForm::buildResultList() {
  model_ = new SearchResultsModel(*searcher_, this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(kSortRole);
  resultList_ = new QTreeView(this);
  resultList_->setObjectName(QLatin1String(kResults));
  resultList_->setRootIsDecorated(false);
  resultList_->setUniformRowHeights(true);
  resultList_->setAllColumnsShowFocus(true);
  resultList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  resultList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  resultList_->setModel(sorted_);
  // Unsorted until a header is clicked: the book's own order first.
  resultList_->header()->setSortIndicator(-1, Qt::AscendingOrder);
  resultList_->setSortingEnabled(true);
  resultList_->setAccessibleName(QStringLiteral("找到的資料"));
  const int widths[] = {70, 80, 110, 110, 90, 200, 50};
  for (int c = 0; c < kColumns; ++c) resultList_->setColumnWidth(c, widths[c]);
}

SearchForm::~SearchForm() = default;

void SearchForm::runSearch() {
  const search::TypedCriteria typed{memoBox_->text(),       accountBox_->currentText(),
                                    amountFromBox_->text(), amountToBox_->text(),
                                    dateFromBox_->text(),   dateToBox_->text()};
  remembered_ = {typed, everyBookBox_->isChecked()};
  const auto criteria = search::readCriteria(typed);
  if (const QString* refusal = std::get_if<QString>(&criteria)) {
    results_ = {};
    model_->show(&results_);
    summary_->clear();
    notes_->setText(*refusal);
    return;
  }
  const search::Criteria& c = std::get<search::Criteria>(criteria);
  results_ = searcher_->run(c, everyBookBox_->isChecked());
  model_->show(&results_);
  // A long book name is shown whole, however narrow the column was made for short ones.
  const int bookWidth = static_cast<QAbstractItemView*>(resultList_)->sizeHintForColumn(kBook);
  if (bookWidth > resultList_->columnWidth(kBook)) resultList_->setColumnWidth(kBook, bookWidth);
  summary_->setText(c.asksNothing() ? QStringLiteral("請輸入要找的備註、帳戶、金額或日期")
                                    : QStringLiteral("共 %1 筆，金額合計 %2")
                                          .arg(results_.hits.size())
                                          .arg(period::grouped(results_.sum)));
  notes_->setText(results_.skipped.join(QLatin1Char('\n')));
}

void SearchForm::onResultActivated(int row) {
  if (row < 0 || static_cast<size_t>(row) >= results_.hits.size()) return;
  const search::Hit& hit = results_.hits[static_cast<size_t>(row)];
  if (searcher_->isOpenBook(hit.book)) {
    const store::LedgerEntry& entry = store_.tables().entries[hit.slot];
    outcome_ = {SearchOutcome::Kind::ShowEntry, hit.slot,
                store_.tables().accountSlot(entry.IncreaseAccount), QString()};
    leave(QDialog::Accepted);
    return;
  }
  const QString book = searcher_->books()[static_cast<size_t>(hit.book)].name();
  const Message question{QStringLiteral("這筆資料在帳本「%1」裡。\n要開啟帳本「%1」嗎？").arg(book),
                         QStringLiteral("尋找"), MessageIcon::Question, MessageButtons::YesNo};
  if (dialogs_.message(question) != Answer::Yes) return;
  outcome_ = {SearchOutcome::Kind::OpenBook, hit.slot, 0, book};
  leave(QDialog::Accepted);
}

namespace {

printing::Document resultsDocument(const book::Workspace& store, const QAbstractItemModel& shown,
                                   const printing::SearchCriteria& criteria,
                                   const search::Results& results) {
  return printing::searchResultsDocument(store, criteria, SearchResultsModel::headers(),
                                         shownTexts(shown), results.sum);
}

}  // namespace

void SearchForm::printResults() {
  printing::print(dialogs_, resultsDocument(store_, *sorted_, criteria(), results_), this);
}

void SearchForm::saveResultsAsPdf() {
  printing::saveAsPdf(dialogs_, resultsDocument(store_, *sorted_, criteria(), results_),
                      store_.user().databaseName() + QStringLiteral("-尋找結果.pdf"), this);
}

printing::SearchCriteria SearchForm::criteria() const {
  return {memoBox_->text(),     accountBox_->currentText(), amountFromBox_->text(),
          amountToBox_->text(), dateFromBox_->text(),       dateToBox_->text()};
}

SearchOutcome openSearch(book::Workspace& store, Dialogs& dialogs, search::Remembered& remembered,
                         QWidget* parent) {
  SearchForm form(store, dialogs, remembered, parent);
  dialogs.exec(form);
  return form.outcome();
}
