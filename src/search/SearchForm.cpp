#include "search/SearchForm.h"

#include "platform/widgets/colours.h"
#include "platform/widgets/fonts.h"
#include "reports/period/period.h"
#include "store/Module1.h"
#include "store/ledger.h"
#include "ui/print/documents.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>

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
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const search::Hit& hit = results_->hits[static_cast<size_t>(index.row())];
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

  // The rows as the list shows them, for printing.
  std::vector<QStringList> texts() const {
    std::vector<QStringList> rows;
    for (int r = 0; r < rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < columnCount(); ++c) cells << index(r, c).data().toString();
      rows.push_back(cells);
    }
    return rows;
  }

 private:
  const search::Searcher& searcher_;
  const search::Results* results_ = nullptr;
};

SearchForm::SearchForm(Module1& store, QWidget* parent)
    : FixedDialog(parent), store_(store), searcher_(std::make_unique<search::Searcher>(store)) {
  setObjectName(QStringLiteral("SearchForm"));
  setWindowTitle(QStringLiteral("尋找"));
  setFont(uiFont(9));
  setClientSize(760, 520);

  auto* grid = new QGridLayout;
  auto label = [&](const QString& text, QWidget* buddy, int row, int column) {
    auto* l = new QLabel(text, this);
    l->setBuddy(buddy);
    grid->addWidget(l, row, column);
  };
  auto box = [this](const char* name, const QString& hint) {
    auto* b = new QLineEdit(this);
    b->setObjectName(QLatin1String(name));
    b->setPlaceholderText(hint);
    b->setClearButtonEnabled(true);
    // The clearing cross would otherwise be a button without a name.
    for (QToolButton* cross : b->findChildren<QToolButton*>())
      cross->setAccessibleName(QStringLiteral("清除"));
    return b;
  };
  memoBox_ = box("MemoText", QStringLiteral("備註裡的文字"));
  accountBox_ = new QComboBox(this);
  accountBox_->setObjectName(QStringLiteral("AccountText"));
  accountBox_->setEditable(true);
  accountBox_->setInsertPolicy(QComboBox::NoInsert);
  accountBox_->addItem(QString());
  for (const QString& name : accountListNames(store))
    accountBox_->addItem(TrimTrailingSpaces(name));
  accountBox_->lineEdit()->setPlaceholderText(QStringLiteral("任一邊的帳戶"));
  amountFromBox_ = box("AmountFrom", QStringLiteral("金額，或下限"));
  amountToBox_ = box("AmountTo", QStringLiteral("上限"));
  dateFromBox_ = box("DateFrom", QStringLiteral("2025/1/1"));
  dateToBox_ = box("DateTo", QStringLiteral("2025/12/31"));
  everyBookBox_ = new QCheckBox(QStringLiteral("所有帳本(&L)"), this);
  everyBookBox_->setObjectName(QStringLiteral("EveryBook"));

  label(QStringLiteral("備註(&M)"), memoBox_, 0, 0);
  grid->addWidget(memoBox_, 0, 1);
  label(QStringLiteral("帳戶(&C)"), accountBox_, 0, 2);
  grid->addWidget(accountBox_, 0, 3);
  grid->addWidget(everyBookBox_, 0, 4);
  label(QStringLiteral("金額(&N)"), amountFromBox_, 1, 0);
  auto* amounts = new QHBoxLayout;
  amounts->addWidget(amountFromBox_);
  amounts->addWidget(new QLabel(QStringLiteral("至"), this));
  amounts->addWidget(amountToBox_);
  grid->addLayout(amounts, 1, 1);
  label(QStringLiteral("日期(&T)"), dateFromBox_, 1, 2);
  auto* datesRow = new QHBoxLayout;
  datesRow->addWidget(dateFromBox_);
  datesRow->addWidget(new QLabel(QStringLiteral("至"), this));
  datesRow->addWidget(dateToBox_);
  grid->addLayout(datesRow, 1, 3, 1, 2);

  model_ = new SearchResultsModel(*searcher_, this);
  resultList_ = new QTreeView(this);
  resultList_->setObjectName(QStringLiteral("Results"));
  resultList_->setRootIsDecorated(false);
  resultList_->setUniformRowHeights(true);
  resultList_->setAllColumnsShowFocus(true);
  resultList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  resultList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  resultList_->setModel(model_);
  // Named for a screen reader: the upper bounds' only caption is the "至" between the boxes.
  amountToBox_->setAccessibleName(QStringLiteral("金額上限"));
  dateToBox_->setAccessibleName(QStringLiteral("日期上限"));
  resultList_->setAccessibleName(QStringLiteral("找到的資料"));
  const int widths[] = {70, 80, 110, 110, 90, 200, 50};
  for (int c = 0; c < 7; ++c) resultList_->setColumnWidth(c, widths[c]);

  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("Summary"));
  notes_ = new QLabel(this);
  notes_->setObjectName(QStringLiteral("Notes"));
  notes_->setWordWrap(true);
  QPalette warning = notes_->palette();
  warning.setColor(QPalette::WindowText,
                   readableOn(QColor(0xb0, 0, 0), warning.color(QPalette::Window)));
  notes_->setPalette(warning);

  auto* printButton = new QPushButton(QStringLiteral("列印(&P)"), this);
  printButton->setObjectName(QStringLiteral("Print"));
  auto* pdfButton = new QPushButton(QStringLiteral("存成PDF(&S)"), this);
  pdfButton->setObjectName(QStringLiteral("SavePdf"));
  auto* closeButton = new QPushButton(QStringLiteral("關閉"), this);
  closeButton->setObjectName(QStringLiteral("Close"));
  setCancelButton(closeButton);
  // Enter in a box only searches (it already has): it must not print or close the window.
  for (QPushButton* b : {printButton, pdfButton, closeButton}) b->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(summary_, 1);
  buttons->addWidget(printButton);
  buttons->addWidget(pdfButton);
  buttons->addWidget(closeButton);
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
  connect(resultList_, &QTreeView::activated, this,
          [this](const QModelIndex& index) { onResultActivated(index.row()); });
  connect(printButton, &QPushButton::clicked, this, &SearchForm::printResults);
  connect(pdfButton, &QPushButton::clicked, this, &SearchForm::saveResultsAsPdf);
  connect(closeButton, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });
  runSearch();
}

SearchForm::~SearchForm() = default;

void SearchForm::runSearch() {
  const search::TypedCriteria typed{memoBox_->text(),       accountBox_->currentText(),
                                    amountFromBox_->text(), amountToBox_->text(),
                                    dateFromBox_->text(),   dateToBox_->text()};
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
    const LedgerEntry& entry = store_.EntryTable[hit.slot];
    outcome_ = {SearchOutcome::Kind::ShowEntry, hit.slot, store_.accountSlot(entry.IncreaseAccount),
                QString()};
    leave(QDialog::Accepted);
    return;
  }
  const QString book = searcher_->books()[static_cast<size_t>(hit.book)].name();
  const Message question{QStringLiteral("這筆資料在帳本「%1」裡。\n要開啟帳本「%1」嗎？").arg(book),
                         QStringLiteral("尋找"), MessageIcon::Question, MessageButtons::YesNo};
  if (store_.dialogs().message(question) != Answer::Yes) return;
  outcome_ = {SearchOutcome::Kind::OpenBook, hit.slot, 0, book};
  leave(QDialog::Accepted);
}

namespace {

printing::Document resultsDocument(const Module1& store, const SearchResultsModel& model,
                                   const printing::SearchCriteria& criteria,
                                   const search::Results& results) {
  return printing::searchResultsDocument(store, criteria, SearchResultsModel::headers(),
                                         model.texts(), results.sum);
}

}  // namespace

void SearchForm::printResults() {
  printing::print(store_, resultsDocument(store_, *model_, criteria(), results_), this);
}

void SearchForm::saveResultsAsPdf() {
  printing::saveAsPdf(store_, resultsDocument(store_, *model_, criteria(), results_),
                      store_.DataBaseName + QStringLiteral("-尋找結果.pdf"), this);
}

printing::SearchCriteria SearchForm::criteria() const {
  return {memoBox_->text(),     accountBox_->currentText(), amountFromBox_->text(),
          amountToBox_->text(), dateFromBox_->text(),       dateToBox_->text()};
}

SearchOutcome openSearch(Module1& store, QWidget* parent) {
  SearchForm form(store, parent);
  store.dialogs().exec(form);
  return form.outcome();
}
