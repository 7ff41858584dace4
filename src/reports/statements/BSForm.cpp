#include "reports/statements/BSForm.h"

#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/keys.h"
#include "platform/widgets/screen.h"
#include "reports/statements/statements.h"
#include "store/Module1.h"
#include "ui/forms.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QColor kSectionRed(254, 54, 60);
const QColor kNegativeRed(255, 0, 0);

void setTextColour(QWidget* box, const QColor& colour) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Text, colour);
  box->setPalette(palette);
}

// The boxes hold the statement lines; a multi-line box keeps them as paragraphs, so CR LF goes
// in as a paragraph break and comes out again when copied.
void setStatement(QPlainTextEdit* box, const QString& text) {
  box->setPlainText(QString(text).replace(kCrLf, QStringLiteral("\n")));
}
QString statementOf(const QPlainTextEdit* box) {
  return box->toPlainText().replace(QLatin1Char('\n'), kCrLf);
}

}  // namespace

BSForm::BSForm(Module1& store, QWidget* parent) : FixedDialog(parent), store_(store) {
  setObjectName(QStringLiteral("BSForm"));
  setWindowTitle(QStringLiteral("財務報表"));
  setClientSize(554, 486);
  setFont(uiFont());

  auto button = [this](const char* name, const QString& caption, QRect geometry) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
  };
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
  auto singleLine = [this](const char* name, QRect geometry, bool result) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    if (result) {
      box->setFont(fixedPitchFont());
      box->setReadOnly(true);
    }
    return box;
  };

  copyBalanceSheetButton_ = button("Cmd2", QStringLiteral("複製到剪貼簿"), {8, 8, 97, 25});
  copyIncomeStatementButton_ = button("Cmd3", QStringLiteral("複製到剪貼簿"), {448, 8, 97, 25});
  assetsBox_ = multiLine("Text1", {8, 40, 265, 193});
  incomeBox_ = multiLine("Text2", {280, 40, 265, 193});
  liabilitiesBox_ = multiLine("Text3", {8, 232, 265, 193});
  expensesBox_ = multiLine("Text4", {280, 232, 265, 193});
  netWorthBox_ = singleLine("Text5", {8, 424, 265, 25}, true);
  balanceBox_ = singleLine("Text6", {280, 424, 265, 25}, true);
  dateBox_ = singleLine("Text7", {8, 456, 201, 25}, false);
  showButton_ = button("Cmd4", QStringLiteral("顯示"), {216, 456, 57, 25});
  okButton_ = button("Cmd1", QStringLiteral("確定"), {464, 456, 81, 25});
  okButton_->setDefault(true);

  setTextColour(liabilitiesBox_, kSectionRed);
  setTextColour(expensesBox_, kSectionRed);

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

  connect(okButton_, &QPushButton::clicked, this, [this] { leave(QDialog::Accepted); });
  connect(copyBalanceSheetButton_, &QPushButton::clicked, this, &BSForm::onCopyBalanceSheet);
  connect(copyIncomeStatementButton_, &QPushButton::clicked, this, &BSForm::onCopyIncomeStatement);
  connect(showButton_, &QPushButton::clicked, this, &BSForm::onShow);
  // Enter in the date box shows the statements for that date instead of closing the window.
  dateBox_->installEventFilter(this);

  const QString today = store_.today();
  dateBox_->setText(today);
  showStatements(today);

  centreOnScreen(*this);
}

bool BSForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dateBox_ && isEnterKey(event)) {
    onShow();
    return true;
  }
  return FixedDialog::eventFilter(watched, event);
}

void BSForm::showStatements(const QString& date) {
  const Statements s = BuildStatements(store_, date);
  setStatement(assetsBox_, s.assets);
  setStatement(incomeBox_, s.income);
  setStatement(liabilitiesBox_, s.liabilities);
  setStatement(expensesBox_, s.expenses);
  netWorthBox_->setText(s.netWorthLine);
  balanceBox_->setText(s.balanceLine);
  netWorthBox_->setCursorPosition(0);
  balanceBox_->setCursorPosition(0);
  setTextColour(netWorthBox_, s.netWorth < 0 ? kNegativeRed : QColor(Qt::black));
  setTextColour(balanceBox_, s.balance < 0 ? kNegativeRed : QColor(Qt::black));
}

void BSForm::onCopyBalanceSheet() {
  clipboard::setText(statementOf(assetsBox_) + kCrLf + statementOf(liabilitiesBox_) + kCrLf +
                     netWorthBox_->text());
}

void BSForm::onCopyIncomeStatement() {
  clipboard::setText(statementOf(incomeBox_) + kCrLf + statementOf(expensesBox_) + kCrLf +
                     balanceBox_->text());
}

void BSForm::onShow() {
  // The box keeps the date as typed; the statements use its "yyyy/mm/dd" form.
  const std::optional<QString> date = dates::normalise(dateBox_->text());
  if (!date) {
    store_.dialogs().message(refusal(QStringLiteral("不是正確的日期格式")));
    return;
  }
  showStatements(*date);
}

void openStatements(Module1& store, QWidget* parent) {
  BSForm form(store, parent);
  store.dialogs().exec(form);
}
