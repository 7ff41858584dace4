#include "reports/statements/BSForm.h"

#include "book/workspace.h"
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/colours.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/keys.h"
#include "platform/widgets/screen.h"
#include "reports/statements/document.h"
#include "reports/statements/statements.h"
#include "store/ledger.h"
#include "store/records.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QColor kSectionRed(254, 54, 60);
const QColor kNegativeRed(255, 0, 0);

// An account line of a statement: the name padded to 20 characters, two blanks, the amount.
// Padded by characters, a name of four Chinese characters pushes its amount two columns further
// than a name of two; on screen the amount goes to one tab stop instead, the same for every
// line, and the statement texts themselves (what is copied) stay as they are.
bool isAccountLine(const QStringList& lines, qsizetype i) { return i >= 2 && i < lines.size() - 2; }

// The pixel at which every amount starts: two blanks after the widest name, and never before
// where the padded names would put it.
qreal amountStop(const QFontMetricsF& metrics, const QStringList& texts) {
  const qreal blank = metrics.horizontalAdvance(QLatin1Char(' '));
  qreal stop = metrics.horizontalAdvance(QString(store::kNameWidth + 2, QLatin1Char(' ')));
  for (const QString& text : texts) {
    const QStringList lines = text.split(kCrLf);
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (!isAccountLine(lines, i)) continue;
      const QString name = store::trimTrailingSpaces(lines[i].left(store::kNameWidth));
      stop = std::max(stop, metrics.horizontalAdvance(name) + 2 * blank);
    }
  }
  return std::ceil(stop);
}

void setStatement(QPlainTextEdit* box, const QString& text, qreal stop) {
  QStringList lines = text.split(kCrLf);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (!isAccountLine(lines, i)) continue;
    lines[i] = store::trimTrailingSpaces(lines[i].left(store::kNameWidth)) + QLatin1Char('\t') +
               lines[i].mid(store::kNameWidth + 2);
  }
  box->setTabStopDistance(stop);
  box->setPlainText(lines.join(QLatin1Char('\n')));
}

}  // namespace

BSForm::BSForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs) {
  setObjectName(QStringLiteral("BSForm"));
  setWindowTitle(QStringLiteral("財務報表"));
  setClientSize(554, 486);
  setFont(uiFont());

  buildStatementBoxes();
  buildButtons();
  nameForScreenReaders();
  setTabOrderOfControls();
  setTextColour(liabilitiesBox_, kSectionRed);
  setTextColour(expensesBox_, kSectionRed);
  // Enter in the date box shows the statements for that date instead of closing the window.
  dateBox_->installEventFilter(this);

  const QString today = store_.today();
  dateBox_->setText(today);
  showStatements(today);

  centreOnScreen(*this);
}

// The four statements, each half with the button above it that copies it, and the two results.
void BSForm::buildStatementBoxes() {
  const QString copy = QStringLiteral("複製到剪貼簿");
  copyBalanceSheetButton_ = build::button(this, kCopyBalanceSheet, copy, {8, 8, 97, 25});
  copyIncomeStatementButton_ = build::button(this, kCopyIncomeStatement, copy, {448, 8, 97, 25});
  auto multiLine = [this](const char* name, QRect geometry) {
    auto* box = new QPlainTextEdit(this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->setFont(fixedPitchFont());
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setTabChangesFocus(true);
    // A display: a line typed into it would reach the clipboard with the statement.
    box->setReadOnly(true);
    return box;
  };
  auto result = [this](const char* name, QRect geometry) {
    QLineEdit* box = build::lineEdit(this, name, geometry);
    box->setFont(fixedPitchFont());
    box->setReadOnly(true);
    return box;
  };
  assetsBox_ = multiLine(kAssets, {8, 40, 265, 193});
  incomeBox_ = multiLine(kIncome, {280, 40, 265, 193});
  liabilitiesBox_ = multiLine(kLiabilities, {8, 232, 265, 193});
  expensesBox_ = multiLine(kExpenses, {280, 232, 265, 193});
  netWorthBox_ = result(kNetWorth, {8, 424, 265, 25});
  balanceBox_ = result(kBalance, {280, 424, 265, 25});
  dateBox_ = build::lineEdit(this, kDate, {8, 456, 201, 25});
}

// The foot row: the date with its button, printing, and the way out.
void BSForm::buildButtons() {
  showButton_ = build::button(this, kShow, QStringLiteral("顯示"), {216, 456, 57, 25});
  okButton_ = build::button(this, kOk, QStringLiteral("確定"), {464, 456, 81, 25});
  okButton_->setDefault(true);
  QPushButton* print = build::button(this, kPrint, QStringLiteral("列印(&P)"), {280, 456, 85, 25});
  QPushButton* pdf =
      build::button(this, kSavePdf, QStringLiteral("存成PDF(&F)"), {370, 456, 89, 25});
  // On paper as on the screen: the statements of the date in the box.
  const auto shownDate = [this] {
    return dates::normalise(dateBox_->text()).value_or(store_.today());
  };
  connect(print, &QPushButton::clicked, this, [this, shownDate] {
    printing::print(dialogs_, printing::statementsDocument(store_, shownDate()), this);
  });
  connect(pdf, &QPushButton::clicked, this, [this, shownDate] {
    printing::saveAsPdf(dialogs_, printing::statementsDocument(store_, shownDate()),
                        store_.user().databaseName() + QStringLiteral("-財務報表.pdf"), this);
  });
  connect(okButton_, &QPushButton::clicked, this, [this] { leave(QDialog::Accepted); });
  connect(copyBalanceSheetButton_, &QPushButton::clicked, this, &BSForm::onCopyBalanceSheet);
  connect(copyIncomeStatementButton_, &QPushButton::clicked, this, &BSForm::onCopyIncomeStatement);
  connect(showButton_, &QPushButton::clicked, this, &BSForm::onShow);
}

// The window has no labels: a screen reader names each box and the two copy buttons, which
// only their place tells apart, by what they hold.
void BSForm::nameForScreenReaders() {
  const std::pair<QWidget*, const char*> names[] = {
      {copyBalanceSheetButton_, "複製資產負債表到剪貼簿"},
      {copyIncomeStatementButton_, "複製損益表到剪貼簿"},
      {assetsBox_, "資產"},
      {incomeBox_, "收入"},
      {liabilitiesBox_, "負債"},
      {expensesBox_, "支出"},
      {netWorthBox_, "財產淨值"},
      {balanceBox_, "結餘"},
      {dateBox_, "日期"}};
  for (const auto& [widget, name] : names) widget->setAccessibleName(QString::fromUtf8(name));
}

void BSForm::setTabOrderOfControls() {
  QWidget* order[] = {assetsBox_,
                      okButton_,
                      copyBalanceSheetButton_,
                      incomeBox_,
                      copyIncomeStatementButton_,
                      liabilitiesBox_,
                      expensesBox_,
                      netWorthBox_,
                      balanceBox_,
                      dateBox_,
                      showButton_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

bool BSForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dateBox_ && isEnterKey(event)) {
    onShow();
    return true;
  }
  return FixedDialog::eventFilter(watched, event);
}

void BSForm::showStatements(const QString& date) {
  shown_ = statements::buildStatements(store_, date);
  const statements::StatementTexts& s = shown_;
  const qreal stop = amountStop(QFontMetricsF(assetsBox_->font()),
                                {s.assets, s.income, s.liabilities, s.expenses});
  setStatement(assetsBox_, s.assets, stop);
  setStatement(incomeBox_, s.income, stop);
  setStatement(liabilitiesBox_, s.liabilities, stop);
  setStatement(expensesBox_, s.expenses, stop);
  netWorthBox_->setText(s.netWorthLine);
  balanceBox_->setText(s.balanceLine);
  netWorthBox_->setCursorPosition(0);
  balanceBox_->setCursorPosition(0);
  setTextColour(netWorthBox_, s.netWorth < 0 ? kNegativeRed : QColor());
  setTextColour(balanceBox_, s.balance < 0 ? kNegativeRed : QColor());
}

// The boxes are displays of these texts and cannot be changed, so the texts are copied as built.
void BSForm::onCopyBalanceSheet() {
  clipboard::setText(shown_.assets + kCrLf + shown_.liabilities + kCrLf + shown_.netWorthLine);
}

void BSForm::onCopyIncomeStatement() {
  clipboard::setText(shown_.income + kCrLf + shown_.expenses + kCrLf + shown_.balanceLine);
}

void BSForm::onShow() {
  // The box keeps the date as typed; the statements use its "yyyy/mm/dd" form.
  const std::optional<QString> date = dates::normalise(dateBox_->text());
  if (!date) {
    dialogs_.message(refusal(QStringLiteral("不是正確的日期格式")));
    return;
  }
  showStatements(*date);
}

void openStatements(book::Workspace& store, Dialogs& dialogs, QWidget* parent) {
  BSForm form(store, dialogs, parent);
  dialogs.exec(form);
}
