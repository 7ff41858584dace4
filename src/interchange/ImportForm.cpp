#include "interchange/ImportForm.h"

#include "book/workspace.h"
#include "interchange/PayeeRulesForm.h"
#include "interchange/statementvalues.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/colours.h"
#include "platform/widgets/fonts.h"
#include "store/LedgerView.h"
#include "store/ledger.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using Column = ImportForm::Column;

// Every caption is its box's buddy, so a screen reader names the box by it.
QLabel* caption(QWidget* parent, const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

void chooseFirstOfKind(QComboBox* box, const book::Workspace& store, int kind) {
  for (int i = 0; i < box->count(); ++i) {
    if (store::kindOfName(store.tables(), box->itemData(i).toString()) == kind) {
      box->setCurrentIndex(i);
      return;
    }
  }
}

// The year-first form as the column writes it: years of the Republic of China or of the
// common era.
QString yearFirstName(const std::vector<csvtext::Row>& rows, int column) {
  static const QRegularExpression yearFirst(QStringLiteral("^\\s*(\\d+)[/.-]"));
  for (const csvtext::Row& row : rows) {
    if (column < 0 || column >= row.size()) continue;
    const QString cell = row.at(column).normalized(QString::NormalizationForm_KC);
    if (!statementvalues::parseDate(cell)) continue;
    const auto m = yearFirst.match(cell);
    const qsizetype digits = m.hasMatch() ? m.capturedLength(1) : cell.trimmed().size() - 4;
    return digits < 4 ? QStringLiteral("民國年/月/日") : QStringLiteral("西元年/月/日");
  }
  return statementvalues::dateOrderName(statementvalues::DateOrder::YearFirst);
}

QString sourceText(interchange::AccountSource source) {
  switch (source) {
    case interchange::AccountSource::Rule:
      return QStringLiteral("規則");
    case interchange::AccountSource::Manual:
      return QStringLiteral("手動");
    case interchange::AccountSource::Default:
      break;
  }
  return QStringLiteral("預設");
}

QComboBox* accountBox(const book::Workspace& store, const char* name, QWidget* parent,
                      std::initializer_list<int> kinds) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setMinimumWidth(180);
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    const store::AccountRecord& a = store.tables().accounts[slot];
    if (kinds.size() == 0 || std::find(kinds.begin(), kinds.end(), a.AccountKind) != kinds.end()) {
      box->addItem(store::trimTrailingSpaces(a.AccountName), a.AccountName);
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

ImportForm::ImportForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("匯入銀行對帳單"));
  setFont(uiFont());
  auto* grid = new QGridLayout(this);

  path_ = build::lineEdit(this, kFilePath);
  QPushButton* browse = build::button(this, kBrowse, QStringLiteral("瀏覽(&B)…"));
  QPushButton* read = build::button(this, kRead, QStringLiteral("讀取(&R)"));
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(caption(this, QStringLiteral("檔案："), path_));
  fileRow->addWidget(path_, 1);
  fileRow->addWidget(browse);
  fileRow->addWidget(read);
  auto* top = new QVBoxLayout;
  top->addLayout(fileRow);
  top->addLayout(buildReadingControls());
  grid->addLayout(top, 0, 0, 1, 4);

  buildColumnControls(grid);
  int row = buildAccountControls(grid);

  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName(QLatin1String(kPreview));
  table_->setHorizontalHeaderLabels({QStringLiteral("匯入"), QStringLiteral("行"),
                                     QStringLiteral("日期"), QStringLiteral("金額"),
                                     QStringLiteral("備註"), QStringLiteral("對方帳戶"),
                                     QStringLiteral("來源"), QStringLiteral("說明")});
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setAccessibleName(QStringLiteral("預覽"));
  // Tab goes on to the buttons; the arrows walk the rows and Space ticks.
  table_->setTabKeyNavigation(false);
  table_->horizontalHeader()->setSectionResizeMode(kMemo, QHeaderView::Stretch);
  grid->addWidget(table_, row++, 0, 1, 4);

  summary_ = build::label(this, kSummary, QString());
  QPushButton* rules = build::button(this, kRules, QStringLiteral("對方帳戶規則(&U)…"));
  import_ = build::button(this, kImport, QStringLiteral("匯入(&I)"));
  import_->setEnabled(false);
  QPushButton* cancel = build::button(this, kCancel, QStringLiteral("取消"));
  setCancelButton(cancel);
  QHBoxLayout* bottom = build::buttonRow({rules, import_, cancel});
  bottom->insertWidget(0, summary_, 1);
  grid->addLayout(bottom, row, 0, 1, 4);
  setClientSize(960, 640);

  // Enter in the file box reads the file; no button of the window takes Enter for itself.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);

  // A rules file that cannot be read is left alone: the import goes on without its rules.
  auto loaded = payeerules::Rules::load(store_.user().userFolder());
  if (auto* rulesRead = std::get_if<payeerules::Rules>(&loaded)) {
    rules_ = std::move(*rulesRead);
  } else {
    rulesProblem_ = std::get<QString>(loaded);
  }

  connectControls(browse, read, rules, cancel);
}

void ImportForm::connectControls(QPushButton* browse, QPushButton* read, QPushButton* rules,
                                 QPushButton* cancel) {
  connect(browse, &QPushButton::clicked, this, &ImportForm::onBrowse);
  connect(read, &QPushButton::clicked, this, &ImportForm::onRead);
  connect(path_, &QLineEdit::returnPressed, this, &ImportForm::onRead);
  for (QComboBox* box : {dateColumn_, amountColumn_, outColumn_, inColumn_, balanceColumn_,
                         statementAccount_, outAccount_, inAccount_}) {
    connect(box, &QComboBox::currentIndexChanged, this, &ImportForm::onLayoutChanged);
  }
  connect(memoColumns_, &QListWidget::itemChanged, this, &ImportForm::onLayoutChanged);
  connect(rowAccount_, &QComboBox::activated, this, &ImportForm::onRowAccountChosen);
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!filling_ && item->column() == kTick) onTicked(item->row());
  });
  connect(rules, &QPushButton::clicked, this, &ImportForm::onRules);
  connect(import_, &QPushButton::clicked, this, &ImportForm::onImport);
  connect(cancel, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });
}

// What was detected in the file, each with the person's override.
QHBoxLayout* ImportForm::buildReadingControls() {
  encoding_ = columnBox(kEncoding, this);
  encoding_->setMinimumWidth(0);
  encoding_->addItem(QStringLiteral("UTF-8"), int(csvtext::Encoding::Utf8));
  encoding_->addItem(QStringLiteral("UTF-16"), int(csvtext::Encoding::Utf16));
  encoding_->addItem(QStringLiteral("Big5（950）"), int(csvtext::Encoding::Cp950));
  delimiter_ = columnBox(kDelimiter, this);
  delimiter_->setMinimumWidth(0);
  delimiter_->addItem(QStringLiteral("逗號"), QChar(u','));
  delimiter_->addItem(QStringLiteral("分號"), QChar(u';'));
  delimiter_->addItem(QStringLiteral("Tab"), QChar(u'\t'));
  headerRow_ = new QCheckBox(QStringLiteral("第一列是標題(&H)"), this);
  headerRow_->setObjectName(QLatin1String(kHeaderRow));
  // The order of the date's parts: a file's "03/04/2021" may mean either day.
  dateOrder_ = columnBox(kDateOrder, this);
  dateOrder_->setMinimumWidth(0);
  for (const auto order :
       {statementvalues::DateOrder::YearFirst, statementvalues::DateOrder::DayFirst,
        statementvalues::DateOrder::MonthFirst}) {
    dateOrder_->addItem(statementvalues::dateOrderName(order), int(order));
  }
  auto* row = new QHBoxLayout;
  row->addWidget(caption(this, QStringLiteral("編碼(&E)"), encoding_));
  row->addWidget(encoding_);
  row->addWidget(caption(this, QStringLiteral("分隔(&P)"), delimiter_));
  row->addWidget(delimiter_);
  row->addWidget(headerRow_);
  row->addWidget(caption(this, QStringLiteral("日期順序(&O)"), dateOrder_));
  row->addWidget(dateOrder_);
  row->addStretch(1);
  connect(encoding_, &QComboBox::currentIndexChanged, this, &ImportForm::onReadingChanged);
  connect(delimiter_, &QComboBox::currentIndexChanged, this, &ImportForm::onReadingChanged);
  // Read again under the other order: the rows stay the same rows, so their choices stay.
  connect(dateOrder_, &QComboBox::currentIndexChanged, this, &ImportForm::onLayoutChanged);
  connect(headerRow_, &QCheckBox::toggled, this, [this](bool header) {
    hasHeader_ = header;
    onLayoutChanged();
  });
  return row;
}

void ImportForm::onReadingChanged() {
  if (filling_ || file_.bytes.isEmpty()) return;
  const csvtext::Reading reading{csvtext::Encoding(encoding_->currentData().toInt()),
                                 delimiter_->currentData().toChar()};
  auto read = csvtext::readBytes(file_.bytes, reading);
  if (const QString* refused = std::get_if<QString>(&read)) {
    dialogs_.show(refusal(*refused));
    return;
  }
  file_ = std::move(std::get<csvtext::File>(read));
  choices_.clear();  // other columns, other rows
  loadColumns();
}

void ImportForm::buildColumnControls(QGridLayout* grid) {
  dateColumn_ = columnBox(kDateColumn, this);
  amountColumn_ = columnBox(kAmountColumn, this);
  outColumn_ = columnBox(kOutColumn, this);
  inColumn_ = columnBox(kInColumn, this);
  balanceColumn_ = columnBox(kBalanceColumn, this);
  memoColumns_ = new QListWidget(this);
  memoColumns_->setObjectName(QLatin1String(kMemoColumns));
  memoColumns_->setMaximumHeight(90);
  memoColumns_->setAccessibleName(QStringLiteral("備註欄"));  // a list takes no buddy's name
  const std::pair<const char*, QWidget*> layoutBoxes[] = {{"日期欄", dateColumn_},
                                                          {"金額欄（正負）", amountColumn_},
                                                          {"支出欄", outColumn_},
                                                          {"存入欄", inColumn_}};
  int row = 1;
  for (const auto& [text, box] : layoutBoxes) {
    grid->addWidget(caption(this, QString::fromUtf8(text), box), row, 0);
    grid->addWidget(box, row++, 1);
  }
  grid->addWidget(caption(this, QStringLiteral("備註欄（可複選）"), memoColumns_), 1, 2);
  grid->addWidget(memoColumns_, 1, 3, 4, 1);
  // Read for the reconciliation only: the statement's balance on its last day.
  grid->addWidget(caption(this, QStringLiteral("餘額欄"), balanceColumn_), 5, 2);
  grid->addWidget(balanceColumn_, 5, 3);
}

int ImportForm::buildAccountControls(QGridLayout* grid) {
  statementAccount_ =
      accountBox(store_, kStatementAccount, this, {store::kAsset, store::kLiability});
  outAccount_ = accountBox(store_, kOutAccount, this, {});
  inAccount_ = accountBox(store_, kInAccount, this, {});
  rowAccount_ = accountBox(store_, kRowAccount, this, {});
  chooseFirstOfKind(outAccount_, store_, store::kExpense);
  chooseFirstOfKind(inAccount_, store_, store::kIncome);
  const std::pair<const char*, QWidget*> accountBoxes[] = {
      {"對帳單的帳戶", statementAccount_}, {"支出記到", outAccount_}, {"存入記到", inAccount_}};
  int row = 5;
  for (const auto& [text, box] : accountBoxes) {
    grid->addWidget(caption(this, QString::fromUtf8(text), box), row, 0);
    grid->addWidget(box, row++, 1);
  }
  grid->addWidget(caption(this, QStringLiteral("選取列的對方帳戶"), rowAccount_), row - 1, 2);
  grid->addWidget(rowAccount_, row - 1, 3);
  return row;
}

void ImportForm::onBrowse() {
  const QString path =
      dialogs_.chooseFile({FileRequest::Purpose::Open, QStringLiteral("選擇對帳單"), QString(),
                           QStringLiteral("CSV 與文字檔 (*.csv *.txt *.tsv);;所有檔案 (*)")});
  if (path.isEmpty()) return;
  path_->setText(path);
  onRead();
}

void ImportForm::onRead() {
  auto read = csvtext::readFile(path_->text().trimmed());
  if (const QString* refused = std::get_if<QString>(&read)) {
    dialogs_.show(refusal(*refused));
    return;
  }
  file_ = std::move(std::get<csvtext::File>(read));
  choices_.clear();  // the choices were for the rows of another file
  if (!rulesProblem_.isEmpty()) {
    dialogs_.show(refusal(
        QStringLiteral("對方帳戶規則無法使用，這次不套用也不記住：\n%1").arg(rulesProblem_)));
  }
  filling_ = true;
  choose(encoding_, int(file_.encoding));
  choose(delimiter_, file_.delimiter);
  filling_ = false;
  loadColumns();
}

void ImportForm::loadColumns() {
  const csvtext::Row& first = file_.rows.front();
  int columns = 0;
  for (const csvtext::Row& r : file_.rows) columns = std::max(columns, static_cast<int>(r.size()));
  const auto remembered = interchange::rememberedLayout(store_.user().userFolder(), first);
  const interchange::ImportLayout layout =
      remembered ? *remembered : interchange::guessLayout(file_.rows);

  filling_ = true;
  for (QComboBox* box : {dateColumn_, amountColumn_, outColumn_, inColumn_, balanceColumn_}) {
    box->clear();
    if (box != dateColumn_) box->addItem(QStringLiteral("（無）"), -1);
  }
  memoColumns_->clear();
  for (int c = 0; c < columns; ++c) {
    const QString caption = layout.hasHeader && c < first.size()
                                ? QStringLiteral("%1：%2").arg(c + 1).arg(first.at(c).simplified())
                                : QStringLiteral("第 %1 欄").arg(c + 1);
    for (QComboBox* box : {dateColumn_, amountColumn_, outColumn_, inColumn_, balanceColumn_}) {
      box->addItem(caption, c);
    }
    auto* item = new QListWidgetItem(caption, memoColumns_);
    item->setData(Qt::UserRole, c);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  showLayout(layout);
  // The accounts chosen the last time a file of this layout came in.
  if (!layout.statementAccount.isEmpty()) choose(statementAccount_, layout.statementAccount);
  if (!layout.outAccount.isEmpty()) choose(outAccount_, layout.outAccount);
  if (!layout.inAccount.isEmpty()) choose(inAccount_, layout.inAccount);
  headerRow_->setChecked(layout.hasHeader);
  dateOrder_->setItemText(0, yearFirstName(file_.rows, layout.date));
  choose(dateOrder_, int(layout.dateOrder));
  filling_ = false;
  refreshPreview();
}

void ImportForm::showLayout(const interchange::ImportLayout& layout) {
  choose(dateColumn_, layout.date);
  choose(amountColumn_, layout.amount);
  choose(outColumn_, layout.out);
  choose(inColumn_, layout.in);
  choose(balanceColumn_, layout.balance);
  for (int i = 0; i < memoColumns_->count(); ++i) {
    QListWidgetItem* item = memoColumns_->item(i);
    item->setCheckState(layout.memo.contains(item->data(Qt::UserRole).toInt()) ? Qt::Checked
                                                                               : Qt::Unchecked);
  }
  hasHeader_ = layout.hasHeader;
}

interchange::ImportLayout ImportForm::layoutShown() const {
  interchange::ImportLayout layout;
  layout.hasHeader = hasHeader_;
  layout.date = dateColumn_->currentData().toInt();
  layout.amount = amountColumn_->currentData().toInt();
  layout.out = outColumn_->currentData().toInt();
  layout.in = inColumn_->currentData().toInt();
  layout.balance = balanceColumn_->currentData().toInt();
  layout.dateOrder = statementvalues::DateOrder(dateOrder_->currentData().toInt());
  if (layout.amount >= 0) layout.out = layout.in = -1;
  for (int i = 0; i < memoColumns_->count(); ++i) {
    if (memoColumns_->item(i)->checkState() == Qt::Checked) {
      layout.memo.append(memoColumns_->item(i)->data(Qt::UserRole).toInt());
    }
  }
  const interchange::ImportAccounts accounts = accountsShown();
  layout.statementAccount = accounts.statement;
  layout.outAccount = accounts.out;
  layout.inAccount = accounts.in;
  return layout;
}

interchange::ImportAccounts ImportForm::accountsShown() const {
  return {statementAccount_->currentData().toString(), outAccount_->currentData().toString(),
          inAccount_->currentData().toString()};
}

void ImportForm::onLayoutChanged() {
  if (!filling_ && !file_.rows.empty()) refreshPreview();
}

void ImportForm::refreshPreview() {
  const interchange::ImportLayout layout = layoutShown();
  if (layout.date < 0 || (layout.amount < 0 && (layout.out < 0 || layout.in < 0))) {
    preview_.clear();
    fillTable();
    summary_->setText(QStringLiteral("請選日期欄，以及金額欄或支出與存入兩欄"));
    return;
  }
  const interchange::ImportAccounts accounts = accountsShown();
  const payeerules::Rules none;
  const payeerules::Rules& rules = rules_ ? *rules_ : none;
  const QHash<QString, QString> fromBook =
      rules_ ? payeerules::learnedFromBook(store_, accounts.statement) : QHash<QString, QString>();
  preview_ = interchange::buildPreview(
      store_, file_.rows, layout, accounts,
      [&](const QString& memo) { return payeerules::suggest(rules, fromBook, memo); });
  interchange::keepChoices(preview_, choices_);
  fillTable();
}

void ImportForm::fillTable() {
  filling_ = true;
  table_->setRowCount(static_cast<int>(preview_.size()));
  const QColor greyed = table_->palette().color(QPalette::Disabled, QPalette::Text);
  for (int r = 0; r < static_cast<int>(preview_.size()); ++r) {
    const interchange::PreviewRow& p = preview_[static_cast<size_t>(r)];
    auto* tick = new QTableWidgetItem;
    tick->setFlags(p.problem.isEmpty()
                       ? Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable
                       : Qt::ItemIsSelectable);
    tick->setCheckState(p.ticked ? Qt::Checked : Qt::Unchecked);
    table_->setItem(r, kTick, tick);
    table_->setItem(r, kLine, new QTableWidgetItem(QString::number(p.line)));
    table_->setItem(r, kDate, new QTableWidgetItem(p.date));
    auto* amount =
        new QTableWidgetItem(p.problem.isEmpty() ? QString::number(p.amount) : QString());
    amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (p.amount < 0)
      amount->setForeground(readableOn(Qt::red, table_->palette().color(QPalette::Base)));
    table_->setItem(r, kAmount, amount);
    table_->setItem(r, kMemo,
                    new QTableWidgetItem(p.memoCut ? p.memo + QStringLiteral("…") : p.memo));
    table_->setItem(r, kOther, new QTableWidgetItem(store::trimTrailingSpaces(p.other)));
    table_->setItem(r, kSource,
                    new QTableWidgetItem(p.problem.isEmpty() ? sourceText(p.source) : QString()));
    QStringList notes;
    if (!p.problem.isEmpty()) notes << p.problem;
    if (p.duplicate) notes << QStringLiteral("可能重複");
    if (p.repeatedInFile) notes << QStringLiteral("同檔重複");
    if (p.memoCut && p.problem.isEmpty()) notes << QStringLiteral("備註已截短");
    table_->setItem(r, kNote, new QTableWidgetItem(notes.join(QStringLiteral("，"))));
    // The theme's own colour for what cannot be chosen, readable on its own background.
    if (!p.problem.isEmpty()) {
      for (int c = 0; c < kColumns; ++c) table_->item(r, c)->setForeground(greyed);
    }
  }
  // The notes whole: a refusal says in words why its row cannot come in.
  for (const int column : {kTick, kLine, kDate, kSource, kNote})
    table_->resizeColumnToContents(column);
  filling_ = false;
  showSummary();
}

void ImportForm::showSummary() {
  const auto count = [this](auto what) {
    return std::count_if(preview_.begin(), preview_.end(), what);
  };
  const auto ticked = count([](const interchange::PreviewRow& p) { return p.ticked; });
  summary_->setText(
      QStringLiteral("共 %1 列：勾選 %2，可能重複 %3，無法讀取 %4")
          .arg(preview_.size())
          .arg(ticked)
          .arg(count([](const interchange::PreviewRow& p) { return p.duplicate; }))
          .arg(count([](const interchange::PreviewRow& p) { return !p.problem.isEmpty(); })));
  import_->setEnabled(ticked > 0);
}

void ImportForm::onTicked(int row) {
  interchange::PreviewRow& p = preview_[static_cast<size_t>(row)];
  p.ticked = table_->item(row, kTick)->checkState() == Qt::Checked;
  choices_[p.line].ticked = p.ticked;
  showSummary();
}

void ImportForm::onRowAccountChosen() {
  const QString name = rowAccount_->currentData().toString();
  filling_ = true;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
    interchange::PreviewRow& p = preview_[static_cast<size_t>(index.row())];
    if (!p.problem.isEmpty()) continue;
    p.other = name;
    p.source = interchange::AccountSource::Manual;
    choices_[p.line].account = name;
    table_->item(index.row(), kOther)->setText(store::trimTrailingSpaces(name));
    table_->item(index.row(), kSource)->setText(sourceText(p.source));
  }
  filling_ = false;
}

void ImportForm::onRules() {
  if (!rules_) {
    dialogs_.show(refusal(rulesProblem_));
    return;
  }
  if (openPayeeRules(store_, dialogs_, *rules_, this)) refreshPreview();
}

void ImportForm::learnRules() {
  if (!rules_) return;
  const QDateTime now = sidefile::now();
  for (const interchange::PreviewRow& p : preview_) {
    if (p.ticked && p.problem.isEmpty() && !p.memo.isEmpty()) {
      rules_->learn(p.memo, store::trimTrailingSpaces(p.other), now);
    }
  }
  if (auto error = rules_->save(store_.user().userFolder())) {
    dialogs_.show(refusal(QStringLiteral("對方帳戶規則沒有記住：%1").arg(*error)));
  }
}

void ImportForm::onImport() {
  const auto result = interchange::importRows(store_, preview_, accountsShown());
  if (const Message* refused = std::get_if<Message>(&result)) {
    dialogs_.show(*refused);
    return;
  }
  const interchange::ImportLayout layout = layoutShown();
  // Only a header names a layout; a file without one is guessed again next time.
  if (layout.hasHeader) {
    if (auto error =
            interchange::rememberLayout(store_.user().userFolder(), file_.rows.front(), layout)) {
      dialogs_.show(refusal(QStringLiteral("欄位的設定沒有記住：%1").arg(*error)));
    }
  }
  learnRules();
  const interchange::ImportDone& done = std::get<interchange::ImportDone>(result);
  offer_ = interchange::statementOffer(store_, file_.rows, layout, preview_, accountsShown(), done);
  dialogs_.show(done.message);
  leave(QDialog::Accepted);
}

std::optional<interchange::StatementOffer> openStatementImport(book::Workspace& store,
                                                               Dialogs& dialogs,
                                                               store::LedgerView& view,
                                                               QWidget* parent) {
  ImportForm form(store, dialogs, parent);
  if (dialogs.exec(form) != QDialog::Accepted) return std::nullopt;
  view.redrawLedger(true);
  const std::optional<interchange::StatementOffer>& offer = form.offer();
  if (!offer || offer->date.isNull()) return std::nullopt;
  const QString ending =
      offer->ending ? QStringLiteral("，對帳單餘額 %1").arg(*offer->ending) : QString();
  const Message ask{QStringLiteral("要用這份對帳單替「%1」對帳嗎？（到 %2%3，已勾選相符的 %4 筆）")
                        .arg(store::trimTrailingSpaces(offer->account),
                             offer->date.toString(QStringLiteral("yyyy/MM/dd")), ending)
                        .arg(offer->matchedSlots.size()),
                    QStringLiteral("對帳"), MessageIcon::Question, MessageButtons::YesNo};
  if (dialogs.show(ask) != Answer::Yes) return std::nullopt;
  return offer;
}
