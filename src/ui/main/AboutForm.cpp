#include "ui/main/AboutForm.h"

#include "platform/dialogs.h"
#include "platform/version.h"
#include "platform/widgets/shell.h"
#include "store/Module1.h"
#include "ui/forms.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

const QString AboutForm::kHomePage = QStringLiteral("https://varnix.example.org/");
const QString AboutForm::kMailAddress = QStringLiteral("varnix@example.org");

namespace {

constexpr int kIconSize = 48;

QPixmap programIcon(const QWidget& widget) {
  const qreal ratio = widget.devicePixelRatioF();
  QPixmap icon = QPixmap(QStringLiteral(":/icon.png"))
                     .scaled(QSize(kIconSize, kIconSize) * ratio, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
  icon.setDevicePixelRatio(ratio);
  return icon;
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

// The pictures live in the windows library, a static one: its resources must be pulled in.
static void loadResources() { Q_INIT_RESOURCE(varnix); }

AboutForm::AboutForm(QWidget* parent) : FixedDialog(parent) {
  loadResources();
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

  Label1 =
      addLabel(frame, "Label1", QStringLiteral("Varnix v" VARNIX_VERSION), QRect(12, 8, 286, 24));
  QFont title = Label1->font();
  title.setPointSize(12);
  title.setBold(true);
  Label1->setFont(title);
  Label2 =
      addLabel(frame, "Label2", QStringLiteral("由 Varnix 開發小組製作的免費軟體，歡迎自由使用。"),
               QRect(12, 36, 286, 22));
  Label3 = addLabel(frame, "Label3", kHomePage, QRect(12, 64, 286, 22));
  Label4 = addLabel(frame, "Label4", kMailAddress, QRect(12, 90, 286, 22));
  addLabel(this, "Label5", QStringLiteral("授權：GNU GPL 第 3 版或更新版本"),
           QRect(20, 152, 280, 22));
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
      shell::openAddress(kHomePage);
      return true;
    }
    if (watched == Label4) {
      shell::openAddress(QStringLiteral("mailto:") + kMailAddress);
      return true;
    }
  }
  return FixedDialog::eventFilter(watched, event);
}

void openAbout(Module1& store, QWidget* parent) {
  AboutForm form(parent);
  store.dialogs().exec(form);
}
