#include "reports/statements/BSForm.h"

#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/fonts.h"
#include "reports/statements/statements.h"
#include "store/Module1.h"
#include "ui/forms.h"
#include "ui/print/pages.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

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
  setFont(QFont(QStringLiteral("Noto Sans CJK TC"), 9));

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
    return box;
  };
  auto singleLine = [this](const char* name, QRect geometry, bool fixedPitch) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    if (fixedPitch) box->setFont(fixedPitchFont());
    return box;
  };

  Cmd2_ = button("Cmd2", QStringLiteral("複製到剪貼簿"), {8, 8, 97, 25});
  Cmd3_ = button("Cmd3", QStringLiteral("複製到剪貼簿"), {448, 8, 97, 25});
  Text1_ = multiLine("Text1", {8, 40, 265, 193});
  Text2_ = multiLine("Text2", {280, 40, 265, 193});
  Text3_ = multiLine("Text3", {8, 232, 265, 193});
  Text4_ = multiLine("Text4", {280, 232, 265, 193});
  Text5_ = singleLine("Text5", {8, 424, 265, 25}, true);
  Text6_ = singleLine("Text6", {280, 424, 265, 25}, true);
  Text7_ = singleLine("Text7", {8, 456, 201, 25}, false);
  Cmd4_ = button("Cmd4", QStringLiteral("顯示"), {216, 456, 57, 25});
  Cmd1_ = button("Cmd1", QStringLiteral("確定"), {464, 456, 81, 25});
  Cmd1_->setDefault(true);
  QPushButton* print = button("Print", QStringLiteral("列印(&P)"), {280, 456, 85, 25});
  QPushButton* pdf = button("SavePdf", QStringLiteral("存成PDF(&F)"), {370, 456, 89, 25});
  // On paper as on the screen: the statements of the date in the box.
  const auto shownDate = [this] {
    return dates::normalise(Text7_->text()).value_or(store_.today());
  };
  connect(print, &QPushButton::clicked, this, [this, shownDate] {
    printing::print(store_, printing::statementsDocument(store_, shownDate()), this);
  });
  connect(pdf, &QPushButton::clicked, this, [this, shownDate] {
    printing::saveAsPdf(store_, printing::statementsDocument(store_, shownDate()),
                        store_.DataBaseName + QStringLiteral("-財務報表.pdf"), this);
  });

  setTextColour(Text3_, kSectionRed);
  setTextColour(Text4_, kSectionRed);

  QWidget* order[] = {Text1_, Cmd1_,  Cmd2_,  Text2_, Cmd3_, Text3_,
                      Text4_, Text5_, Text6_, Text7_, Cmd4_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(Cmd1_, &QPushButton::clicked, this, &BSForm::onCmd1Clicked);
  connect(Cmd2_, &QPushButton::clicked, this, &BSForm::onCmd2Clicked);
  connect(Cmd3_, &QPushButton::clicked, this, &BSForm::onCmd3Clicked);
  connect(Cmd4_, &QPushButton::clicked, this, &BSForm::onCmd4Clicked);
  // Enter in the date box shows the statements for that date instead of closing the window.
  Text7_->installEventFilter(this);

  const QString today = store_.today();
  Text7_->setText(today);
  showStatements(today);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = rect();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

bool BSForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Text7_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      onCmd4Clicked();
      return true;
    }
  }
  return FixedDialog::eventFilter(watched, event);
}

void BSForm::showStatements(const QString& date) {
  const Statements s = BuildStatements(store_, date);
  setStatement(Text1_, s.assets);
  setStatement(Text2_, s.income);
  setStatement(Text3_, s.liabilities);
  setStatement(Text4_, s.expenses);
  Text5_->setText(s.netWorth);
  Text6_->setText(s.balance);
  Text5_->setCursorPosition(0);
  Text6_->setCursorPosition(0);
  setTextColour(Text5_, s.NetWorth < 0 ? kNegativeRed : QColor(Qt::black));
  setTextColour(Text6_, s.Balance < 0 ? kNegativeRed : QColor(Qt::black));
}

void BSForm::onCmd1Clicked() { leave(QDialog::Accepted); }

void BSForm::onCmd2Clicked() {
  clipboard::setText(statementOf(Text1_) + kCrLf + statementOf(Text3_) + kCrLf + Text5_->text());
}

void BSForm::onCmd3Clicked() {
  clipboard::setText(statementOf(Text2_) + kCrLf + statementOf(Text4_) + kCrLf + Text6_->text());
}

void BSForm::onCmd4Clicked() {
  // The box keeps the date as typed; the statements use its "yyyy/mm/dd" form.
  const std::optional<QString> date = dates::normalise(Text7_->text());
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
