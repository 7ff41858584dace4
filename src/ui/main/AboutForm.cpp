#include "ui/main/AboutForm.h"

#include "platform/dialogs.h"
#include "platform/widgets/links.h"
#include "store/Module1.h"
#include "ui/forms.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

const QString AboutForm::kHomePage = QStringLiteral("https://varnix.example.org/");
const QString AboutForm::kMailAddress = QStringLiteral("varnix@example.org");

namespace {

constexpr int kIconSize = 48;

// The program's icon when the application has none of its own: an account book with ruled
// lines and a coin.
QPixmap drawnIcon(int size, qreal ratio) {
  QPixmap pixmap(QSize(size, size) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size / 48.0;
  p.scale(s, s);

  // Cover and pages.
  p.setPen(QPen(QColor(20, 70, 45), 1.5));
  p.setBrush(QColor(34, 120, 74));
  p.drawRoundedRect(QRectF(6, 4, 32, 40), 3, 3);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 248, 238));
  p.drawRect(QRectF(11, 8, 24, 32));
  p.setBrush(QColor(20, 70, 45));
  p.drawRect(QRectF(6, 4, 4, 40));
  // Ruled lines, one in red like a ledger's margin.
  p.setPen(QPen(QColor(120, 140, 170), 1));
  for (int y = 14; y <= 36; y += 5) p.drawLine(QPointF(14, y), QPointF(32, y));
  p.setPen(QPen(QColor(254, 54, 60), 1));
  p.drawLine(QPointF(17, 9), QPointF(17, 39));
  // A coin over the corner.
  p.setPen(QPen(QColor(150, 100, 10), 1.5));
  p.setBrush(QColor(244, 190, 40));
  p.drawEllipse(QPointF(35, 35), 10, 10);
  p.setPen(QPen(QColor(150, 100, 10), 2));
  p.drawLine(QPointF(35, 29), QPointF(35, 41));
  p.drawLine(QPointF(31.5, 32), QPointF(38.5, 32));
  p.drawLine(QPointF(31.5, 36), QPointF(38.5, 36));
  return pixmap;
}

QPixmap programIcon(const QWidget& widget) {
  const QIcon icon = QApplication::windowIcon();
  if (!icon.isNull()) return icon.pixmap(QSize(kIconSize, kIconSize), widget.devicePixelRatioF());
  return drawnIcon(kIconSize, widget.devicePixelRatioF());
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(geometry);
  return label;
}

void makeLink(QLabel* label, const QString& toolTip) {
  label->setStyleSheet(QStringLiteral("QLabel { color: #0000ff; }"));
  QFont font = label->font();
  font.setUnderline(true);
  label->setFont(font);
  label->setCursor(Qt::PointingHandCursor);
  label->setToolTip(toolTip);
  // Only the address itself answers a click, not the blank beside it.
  label->adjustSize();
}

}  // namespace

AboutForm::AboutForm(QWidget* parent) : FixedDialog(parent) {
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("關於"));
  setFont(QFont(QStringLiteral("Noto Sans CJK TC"), 9));
  setClientSize(410, 190);

  Image2 = new QLabel(this);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image2->setGeometry(20, 26, kIconSize, kIconSize);
  Image2->setPixmap(programIcon(*this));

  auto* frame = new QFrame(this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setGeometry(84, 14, 310, 122);

  Label1 = addLabel(frame, "Label1", QStringLiteral("Varnix v1.1"), QRect(12, 8, 286, 24));
  QFont title = Label1->font();
  title.setPointSize(12);
  title.setBold(true);
  Label1->setFont(title);
  Label2 =
      addLabel(frame, "Label2", QStringLiteral("由 Varnix 開發小組製作的免費軟體，歡迎自由使用。"),
               QRect(12, 36, 286, 22));
  Label3 = addLabel(frame, "Label3", kHomePage, QRect(12, 64, 286, 22));
  Label4 = addLabel(frame, "Label4", kMailAddress, QRect(12, 90, 286, 22));
  makeLink(Label3, QStringLiteral("開啟網站"));
  makeLink(Label4, QStringLiteral("寫信給我們"));
  Label3->installEventFilter(this);
  Label4->installEventFilter(this);

  Command1 = new QPushButton(QStringLiteral("確定(&O)"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setGeometry(310, 148, 84, 28);
  Command1->setDefault(true);
  Command1->setFocus();
  connect(Command1, &QPushButton::clicked, this, [this] { leave(QDialog::Accepted); });
}

bool AboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == Label3) {
      openLink(kHomePage);
      return true;
    }
    if (watched == Label4) {
      openLink(QStringLiteral("mailto:") + kMailAddress);
      return true;
    }
  }
  return FixedDialog::eventFilter(watched, event);
}

void openAbout(Module1& store, QWidget* parent) {
  AboutForm form(parent);
  store.dialogs().exec(form);
}
