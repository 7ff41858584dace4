#include "interchange/ImportForm.h"

#include "platform/widgets/fonts.h"
#include "store/LedgerView.h"
#include "store/Module1.h"
#include "store/ledger.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

namespace {

enum Column { Tick, Line, Date, Amount, Memo, Other, Note, Columns };

QComboBox* accountBox(const Module1& store, const char* name, QWidget* parent,
                      std::initializer_list<int> kinds) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setMinimumWidth(180);
  for (int slot = 1; slot < store.AccountCount; ++slot) {
    const AccountRecord& a = store.AccountTable[slot];
    if (kinds.size() == 0 || std::find(kinds.begin(), kinds.end(), a.AccountKind) != kinds.end()) {
      box->addItem(TrimTrailingSpaces(a.AccountName), a.AccountName);
    }
  }
  return box;
}

QComboBox* columnBox(const char* name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setMinimumWidth(180);
  return box;
}

// The box's entry whose data is `value` chosen; the first when none is.
void choose(QComboBox* box, const QVariant& value) {
  const int at = box->findData(value);
  box->setCurrentIndex(at >= 0 ? at : (box->count() > 0 ? 0 : -1));
}

}  // namespace

ImportForm::ImportForm(Module1& store, QWidget* parent) : FixedDialog(parent), store_(store) {
  setWindowTitle(QStringLiteral("匯入銀行對帳單"));
  setFont(uiFont());
  auto* grid = new QGridLayout(this);

  path_ = new QLineEdit(this);
  path_->setObjectName(QStringLiteral("FilePath"));
  auto* browse = new QPushButton(QStringLiteral("瀏覽(&B)…"), this);
  browse->setObjectName(QStringLiteral("Browse"));
  auto* read = new QPushButton(QStringLiteral("讀取(&R)"), this);
  read->setObjectName(QStringLiteral("Read"));
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(new QLabel(QStringLiteral("檔案："), this));
  fileRow->addWidget(path_, 1);
  fileRow->addWidget(browse);
  fileRow->addWidget(read);
  grid->addLayout(fileRow, 0, 0, 1, 4);

  dateColumn_ = columnBox("DateColumn", this);
  amountColumn_ = columnBox("AmountColumn", this);
  outColumn_ = columnBox("OutColumn", this);
  inColumn_ = columnBox("InColumn", this);
  memoColumns_ = new QListWidget(this);
  memoColumns_->setObjectName(QStringLiteral("MemoColumns"));
  memoColumns_->setMaximumHeight(90);
  const std::pair<const char*, QWidget*> layoutBoxes[] = {{"日期欄", dateColumn_},
                                                          {"金額欄（正負）", amountColumn_},
                                                          {"支出欄", outColumn_},
                                                          {"存入欄", inColumn_}};
  int row = 1;
  for (const auto& [caption, box] : layoutBoxes) {
    grid->addWidget(new QLabel(QString::fromUtf8(caption), this), row, 0);
    grid->addWidget(box, row++, 1);
  }
  grid->addWidget(new QLabel(QStringLiteral("備註欄（可複選）"), this), 1, 2);
  grid->addWidget(memoColumns_, 1, 3, 4, 1);

  statementAccount_ = accountBox(store, "StatementAccount", this, {kAsset, kLiability});
  outAccount_ = accountBox(store, "OutAccount", this, {});
  inAccount_ = accountBox(store, "InAccount", this, {});
  rowAccount_ = accountBox(store, "RowAccount", this, {});
  choose(outAccount_, {});
  for (int i = 0; i < outAccount_->count(); ++i) {
    if (kindOfName(store, outAccount_->itemData(i).toString()) == kExpense) {
      outAccount_->setCurrentIndex(i);
      break;
    }
  }
  for (int i = 0; i < inAccount_->count(); ++i) {
    if (kindOfName(store, inAccount_->itemData(i).toString()) == kIncome) {
      inAccount_->setCurrentIndex(i);
      break;
    }
  }
  const std::pair<const char*, QWidget*> accountBoxes[] = {
      {"對帳單的帳戶", statementAccount_}, {"支出記到", outAccount_}, {"存入記到", inAccount_}};
  for (const auto& [caption, box] : accountBoxes) {
    grid->addWidget(new QLabel(QString::fromUtf8(caption), this), row, 0);
    grid->addWidget(box, row++, 1);
  }
  grid->addWidget(new QLabel(QStringLiteral("選取列的對方帳戶"), this), row - 1, 2);
  grid->addWidget(rowAccount_, row - 1, 3);

  table_ = new QTableWidget(0, Columns, this);
  table_->setObjectName(QStringLiteral("Preview"));
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("匯入"), QStringLiteral("行"), QStringLiteral("日期"), QStringLiteral("金額"),
       QStringLiteral("備註"), QStringLiteral("對方帳戶"), QStringLiteral("說明")});
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(Memo, QHeaderView::Stretch);
  grid->addWidget(table_, row++, 0, 1, 4);

  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("Summary"));
  import_ = new QPushButton(QStringLiteral("匯入(&I)"), this);
  import_->setObjectName(QStringLiteral("Import"));
  import_->setEnabled(false);
  auto* cancel = new QPushButton(QStringLiteral("取消"), this);
  cancel->setObjectName(QStringLiteral("Cancel"));
  setCancelButton(cancel);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(summary_, 1);
  bottom->addWidget(import_);
  bottom->addWidget(cancel);
  grid->addLayout(bottom, row, 0, 1, 4);
  setClientSize(900, 620);

  // Enter in the file box reads the file; no button of the window takes Enter for itself.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);

  connect(browse, &QPushButton::clicked, this, &ImportForm::onBrowse);
  connect(read, &QPushButton::clicked, this, &ImportForm::onRead);
  connect(path_, &QLineEdit::returnPressed, this, &ImportForm::onRead);
  for (QComboBox* box : {dateColumn_, amountColumn_, outColumn_, inColumn_, statementAccount_,
                         outAccount_, inAccount_}) {
    connect(box, &QComboBox::currentIndexChanged, this, &ImportForm::onLayoutChanged);
  }
  connect(memoColumns_, &QListWidget::itemChanged, this, &ImportForm::onLayoutChanged);
  connect(rowAccount_, &QComboBox::activated, this, &ImportForm::onRowAccountChosen);
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (filling_ || item->column() != Tick) return;
    preview_[static_cast<size_t>(item->row())].ticked = item->checkState() == Qt::Checked;
  });
  connect(import_, &QPushButton::clicked, this, &ImportForm::onImport);
  connect(cancel, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });
}

void ImportForm::onBrowse() {
  const QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("選擇對帳單"), path_->text(),
      QStringLiteral("CSV 與文字檔 (*.csv *.txt *.tsv);;所有檔案 (*)"));
  if (path.isEmpty()) return;
  path_->setText(path);
  onRead();
}

void ImportForm::onRead() {
  auto read = csvtext::readFile(path_->text().trimmed());
  if (const QString* refused = std::get_if<QString>(&read)) {
    store_.dialogs().show(refusal(*refused));
    return;
  }
  file_ = std::move(std::get<csvtext::File>(read));
  const csvtext::Row& first = file_.rows.front();
  int columns = 0;
  for (const csvtext::Row& r : file_.rows) columns = std::max(columns, static_cast<int>(r.size()));
  const auto remembered = rememberedLayout(store_.userFolder(), first);
  const ImportLayout layout = remembered ? *remembered : guessLayout(file_.rows);

  filling_ = true;
  for (QComboBox* box : {dateColumn_, amountColumn_, outColumn_, inColumn_}) {
    box->clear();
    if (box != dateColumn_) box->addItem(QStringLiteral("（無）"), -1);
  }
  memoColumns_->clear();
  for (int c = 0; c < columns; ++c) {
    const QString caption = layout.hasHeader && c < first.size()
                                ? QStringLiteral("%1：%2").arg(c + 1).arg(first.at(c).simplified())
                                : QStringLiteral("第 %1 欄").arg(c + 1);
    for (QComboBox* box : {dateColumn_, amountColumn_, outColumn_, inColumn_}) {
      box->addItem(caption, c);
    }
    auto* item = new QListWidgetItem(caption, memoColumns_);
    item->setData(Qt::UserRole, c);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  showLayout(layout);
  filling_ = false;
  refreshPreview();
}

void ImportForm::showLayout(const ImportLayout& layout) {
  choose(dateColumn_, layout.date);
  choose(amountColumn_, layout.amount);
  choose(outColumn_, layout.out);
  choose(inColumn_, layout.in);
  for (int i = 0; i < memoColumns_->count(); ++i) {
    QListWidgetItem* item = memoColumns_->item(i);
    item->setCheckState(layout.memo.contains(item->data(Qt::UserRole).toInt()) ? Qt::Checked
                                                                               : Qt::Unchecked);
  }
  hasHeader_ = layout.hasHeader;
}

ImportLayout ImportForm::layoutShown() const {
  ImportLayout layout;
  layout.hasHeader = hasHeader_;
  layout.date = dateColumn_->currentData().toInt();
  layout.amount = amountColumn_->currentData().toInt();
  layout.out = outColumn_->currentData().toInt();
  layout.in = inColumn_->currentData().toInt();
  if (layout.amount >= 0) layout.out = layout.in = -1;
  for (int i = 0; i < memoColumns_->count(); ++i) {
    if (memoColumns_->item(i)->checkState() == Qt::Checked) {
      layout.memo.append(memoColumns_->item(i)->data(Qt::UserRole).toInt());
    }
  }
  return layout;
}

ImportAccounts ImportForm::accountsShown() const {
  return {statementAccount_->currentData().toString(), outAccount_->currentData().toString(),
          inAccount_->currentData().toString()};
}

void ImportForm::onLayoutChanged() {
  if (!filling_ && !file_.rows.empty()) refreshPreview();
}

void ImportForm::refreshPreview() {
  const ImportLayout layout = layoutShown();
  if (layout.date < 0 || (layout.amount < 0 && (layout.out < 0 || layout.in < 0))) {
    preview_.clear();
    fillTable();
    summary_->setText(QStringLiteral("請選日期欄，以及金額欄或支出與存入兩欄"));
    return;
  }
  preview_ = buildPreview(store_, file_.rows, layout, accountsShown());
  fillTable();
}

void ImportForm::fillTable() {
  filling_ = true;
  table_->setRowCount(static_cast<int>(preview_.size()));
  int ticked = 0;
  int duplicates = 0;
  int unreadable = 0;
  for (int r = 0; r < static_cast<int>(preview_.size()); ++r) {
    const PreviewRow& p = preview_[static_cast<size_t>(r)];
    auto* tick = new QTableWidgetItem;
    tick->setFlags(p.problem.isEmpty()
                       ? Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable
                       : Qt::ItemIsSelectable);
    tick->setCheckState(p.ticked ? Qt::Checked : Qt::Unchecked);
    table_->setItem(r, Tick, tick);
    table_->setItem(r, Line, new QTableWidgetItem(QString::number(p.line)));
    table_->setItem(r, Date, new QTableWidgetItem(p.date));
    auto* amount =
        new QTableWidgetItem(p.problem.isEmpty() ? QString::number(p.amount) : QString());
    amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (p.amount < 0) amount->setForeground(Qt::red);
    table_->setItem(r, Amount, amount);
    auto* memo = new QTableWidgetItem(p.memoCut ? p.memo + QStringLiteral("…") : p.memo);
    table_->setItem(r, Memo, memo);
    table_->setItem(r, Other, new QTableWidgetItem(TrimTrailingSpaces(p.other)));
    QString note = p.problem;
    if (p.duplicate) note = QStringLiteral("可能重複");
    if (p.memoCut && note.isEmpty()) note = QStringLiteral("備註已截短");
    table_->setItem(r, Note, new QTableWidgetItem(note));
    if (!p.problem.isEmpty()) {
      for (int c = 0; c < Columns; ++c) table_->item(r, c)->setForeground(Qt::gray);
      ++unreadable;
    }
    ticked += p.ticked ? 1 : 0;
    duplicates += p.duplicate ? 1 : 0;
  }
  table_->resizeColumnToContents(Tick);
  table_->resizeColumnToContents(Line);
  table_->resizeColumnToContents(Date);
  filling_ = false;
  summary_->setText(QStringLiteral("共 %1 列：勾選 %2，可能重複 %3，無法讀取 %4")
                        .arg(preview_.size())
                        .arg(ticked)
                        .arg(duplicates)
                        .arg(unreadable));
  import_->setEnabled(ticked > 0);
}

void ImportForm::onRowAccountChosen() {
  const QString name = rowAccount_->currentData().toString();
  for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
    PreviewRow& p = preview_[static_cast<size_t>(index.row())];
    if (!p.problem.isEmpty()) continue;
    p.other = name;
    table_->item(index.row(), Other)->setText(TrimTrailingSpaces(name));
  }
}

void ImportForm::onImport() {
  const auto result = importRows(store_, preview_, accountsShown());
  if (const Message* refused = std::get_if<Message>(&result)) {
    store_.dialogs().show(*refused);
    return;
  }
  const ImportLayout layout = layoutShown();
  // Only a header names a layout; a file without one is guessed again next time.
  if (layout.hasHeader) {
    if (auto error = rememberLayout(store_.userFolder(), file_.rows.front(), layout)) {
      store_.dialogs().show(refusal(QStringLiteral("欄位的設定沒有記住：%1").arg(*error)));
    }
  }
  store_.dialogs().show(std::get<ImportDone>(result).message);
  leave(QDialog::Accepted);
}

void openStatementImport(Module1& store, LedgerView& view, QWidget* parent) {
  ImportForm form(store, parent);
  if (store.dialogs().exec(form) == QDialog::Accepted) view.redrawLedger(true);
}
