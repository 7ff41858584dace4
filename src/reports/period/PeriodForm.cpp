#include "reports/period/PeriodForm.h"

#include "book/workspace.h"
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "reports/period/document.h"
#include "ui/print/loadable.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

PeriodForm::PeriodForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs) {
  setObjectName(QStringLiteral("PeriodForm"));
  setWindowTitle(QStringLiteral("收支分析"));
  setFont(uiFont(9));
  setClientSize(900, 560);
  const QDate latest = period::latestMonthWithEntries(store);
  const QDate opening = latest.isValid() ? latest : store.clock().today();

  auto* column = new QVBoxLayout(this);
  column->addLayout(buildPeriodChoice(opening));
  column->addLayout(buildTables(), 1);
  column->addLayout(buildButtons());
  onKindChanged(Month);
}

QBoxLayout* PeriodForm::buildPeriodChoice(const QDate& opening) {
  kindBox_ = new QComboBox(this);
  kindBox_->setObjectName(QLatin1String(kKind));
  kindBox_->addItems(
      {QStringLiteral("一個月"), QStringLiteral("一年"), QStringLiteral("自訂期間")});
  yearBox_ = new QSpinBox(this);
  yearBox_->setObjectName(QLatin1String(kYear));
  yearBox_->setRange(1900, 9999);
  yearBox_->setValue(opening.year());
  yearBox_->setSuffix(QStringLiteral(" 年"));
  monthBox_ = new QSpinBox(this);
  monthBox_->setObjectName(QLatin1String(kMonth));
  monthBox_->setRange(1, 12);
  monthBox_->setValue(opening.month());
  monthBox_->setSuffix(QStringLiteral(" 月"));
  fromBox_ = build::lineEdit(this, kFrom);
  fromBox_->setText(dates::format(QDate(opening.year(), 1, 1)));
  toLabel_ = build::label(this, kToLabel, QStringLiteral("至"));
  toBox_ = build::lineEdit(this, kTo);
  toBox_->setText(dates::format(period::monthPeriod(opening.year(), opening.month()).to));
  showButton_ = build::button(this, kShow, QStringLiteral("顯示(&R)"));
  // Enter in a date box shows the period typed.
  showButton_->setDefault(true);
  // The boxes beside the period's picker have no captions of their own.
  const std::pair<QWidget*, const char*> names[] = {
      {yearBox_, "年"}, {monthBox_, "月"}, {fromBox_, "開始日期"}, {toBox_, "結束日期"}};
  for (const auto& [widget, name] : names) widget->setAccessibleName(QString::fromUtf8(name));

  auto* choice = new QHBoxLayout;
  QLabel* kindLabel = build::label(this, "PeriodKindLabel", QStringLiteral("期間(&E)"));
  kindLabel->setBuddy(kindBox_);
  for (QWidget* w : std::initializer_list<QWidget*>{kindLabel, kindBox_, yearBox_, monthBox_,
                                                    fromBox_, toLabel_, toBox_, showButton_}) {
    choice->addWidget(w);
  }
  choice->addStretch(1);

  connect(kindBox_, &QComboBox::currentIndexChanged, this, &PeriodForm::onKindChanged);
  connect(yearBox_, &QSpinBox::valueChanged, this, [this] { refresh(false); });
  connect(monthBox_, &QSpinBox::valueChanged, this, [this] { refresh(false); });
  connect(fromBox_, &QLineEdit::textEdited, this, &PeriodForm::clearFigures);
  connect(toBox_, &QLineEdit::textEdited, this, &PeriodForm::clearFigures);
  connect(showButton_, &QPushButton::clicked, this, [this] { refresh(true); });
  return choice;
}

QBoxLayout* PeriodForm::buildTables() {
  table_ = new QTableWidget(this);
  table_->setObjectName(QLatin1String(kTable));
  table_->setAccessibleName(QStringLiteral("收支"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The accounts are the rows' headers: they stay in place while the months scroll past.
  table_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->setCornerButtonEnabled(false);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Tab leaves the table for the buttons below instead of walking its cells: the arrows do that.
  table_->setTabKeyNavigation(false);

  netWorth_ = new QTreeWidget(this);
  netWorth_->setObjectName(QLatin1String(kNetWorth));
  netWorth_->setAccessibleName(QStringLiteral("每月財產淨值"));
  netWorth_->setHeaderLabels({QStringLiteral("月底"), QStringLiteral("財產淨值")});
  netWorth_->setRootIsDecorated(false);
  netWorth_->setFixedWidth(200);
  netWorth_->setColumnWidth(0, 70);
  netWorth_->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);

  auto* tables = new QHBoxLayout;
  tables->addWidget(table_, 1);
  tables->addWidget(netWorth_);
  return tables;
}

QBoxLayout* PeriodForm::buildButtons() {
  using build::Enter;
  // Enter is never taken for a click on these: printing or saving only when asked.
  chartsButton_ = build::button(this, kCharts, QStringLiteral("圖表(&G)"), {}, Enter::Ignored);
  printButton_ = build::button(this, kPrint, QStringLiteral("列印(&P)"), {}, Enter::Ignored);
  pdfButton_ = build::button(this, kSavePdf, QStringLiteral("存成PDF(&S)"), {}, Enter::Ignored);
  QPushButton* close = build::button(this, kClose, QStringLiteral("關閉"), {}, Enter::Ignored);
  setCancelButton(close);
  connect(chartsButton_, &QPushButton::clicked, this,
          [this] { loadable::openCharts(store_, dialogs_, report_, this); });
  connect(printButton_, &QPushButton::clicked, this, &PeriodForm::printReport);
  connect(pdfButton_, &QPushButton::clicked, this, &PeriodForm::saveReportAsPdf);
  connect(close, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(chartsButton_);
  buttons->addWidget(printButton_);
  buttons->addWidget(pdfButton_);
  buttons->addStretch(1);
  buttons->addWidget(close);
  return buttons;
}

void PeriodForm::onKindChanged(int kind) {
  monthBox_->setVisible(kind == Month);
  yearBox_->setVisible(kind != Span);
  fromBox_->setVisible(kind == Span);
  toBox_->setVisible(kind == Span);
  toLabel_->setVisible(kind == Span);
  refresh(false);
}

void PeriodForm::refresh(bool sayWhy) {
  period::Period chosen;
  switch (kindBox_->currentIndex()) {
    case Month:
      chosen = period::monthPeriod(yearBox_->value(), monthBox_->value());
      break;
    case Year:
      chosen = period::yearPeriod(yearBox_->value());
      break;
    default: {
      const auto typed = period::customPeriod(fromBox_->text(), toBox_->text());
      if (const QString* why = std::get_if<QString>(&typed)) {
        clearFigures();
        // Half-typed dates are not worth a box; the person asked with Enter or 顯示.
        if (sayWhy) dialogs_.message(refusal(*why));
        return;
      }
      chosen = std::get<period::Period>(typed);
    }
  }
  report_ = period::buildReport(store_, chosen);
  fillTable();
  fillNetWorth();
  for (QPushButton* b : {chartsButton_, printButton_, pdfButton_}) b->setEnabled(true);
}

void PeriodForm::clearFigures() {
  report_ = {};
  table_->clear();
  table_->setRowCount(0);
  table_->setColumnCount(0);
  netWorth_->clear();
  for (QPushButton* b : {chartsButton_, printButton_, pdfButton_}) b->setEnabled(false);
}

void PeriodForm::fillTable() {
  const std::vector<period::TableLine> lines = period::tableLines(report_);
  const size_t months = static_cast<size_t>(report_.months.size());
  table_->clear();
  table_->setColumnCount(static_cast<int>(months) + 1);
  table_->setHorizontalHeaderLabels(QStringList(report_.months) << QStringLiteral("合計"));
  table_->setRowCount(static_cast<int>(lines.size()));
  QFont bold = table_->font();
  bold.setBold(true);
  for (size_t r = 0; r < lines.size(); ++r) {
    const QStringList cells = period::lineCells(lines[r], months);
    auto* label = new QTableWidgetItem(cells.first());
    label->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (lines[r].bold) label->setFont(bold);
    table_->setVerticalHeaderItem(static_cast<int>(r), label);
    for (qsizetype c = 1; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (lines[r].bold) item->setFont(bold);
      table_->setItem(static_cast<int>(r), static_cast<int>(c - 1), item);
    }
  }
  table_->resizeColumnsToContents();
}

void PeriodForm::fillNetWorth() {
  netWorth_->clear();
  for (const auto& point : period::netWorthByMonth(store_, report_.period)) {
    auto* item = new QTreeWidgetItem(netWorth_, {point.month, period::grouped(point.value)});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
}

void PeriodForm::printReport() {
  printing::print(dialogs_, printing::periodDocument(store_, report_), this);
}

void PeriodForm::saveReportAsPdf() {
  printing::saveAsPdf(dialogs_, printing::periodDocument(store_, report_),
                      store_.user().databaseName() + QStringLiteral("-收支分析.pdf"), this);
}

void openPeriodReport(book::Workspace& store, Dialogs& dialogs, QWidget* parent) {
  PeriodForm form(store, dialogs, parent);
  dialogs.exec(form);
}
