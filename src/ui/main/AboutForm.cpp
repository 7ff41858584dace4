#include "ui/main/AboutForm.h"

#include "book/workspace.h"
#include "platform/dialogs.h"
#include "platform/version.h"
#include "platform/widgets/build.h"
#include "platform/widgets/colours.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/resources.h"
#include "platform/widgets/shell.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

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

void makeLink(QLabel* label, const QString& toolTip) {
  // Link blue, lightened where a dark theme's window would swallow it.
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText,
                   readableOn(QColor(0, 0, 255), palette.color(QPalette::Window)));
  label->setPalette(palette);
  QFont font = label->font();
  font.setUnderline(true);
  label->setFont(font);
  label->setCursor(Qt::PointingHandCursor);
  label->setToolTip(toolTip);
  // Only the address itself answers a click, not the blank beside it.
  label->adjustSize();
}

}  // namespace

QString AboutForm::contactMail() {
#ifdef VARNIX_CONTACT_MAIL
  return QStringLiteral(VARNIX_CONTACT_MAIL).trimmed();
#else
  return {};
#endif
}

AboutForm::AboutForm(const QString& helpPage, const QString& mailAddress, QWidget* parent)
    : FixedDialog(parent), helpPage_(helpPage), mailAddress_(mailAddress.trimmed()) {
  loadResources();
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("關於"));
  setFont(uiFont());
  setClientSize(410, 190);

  auto* image = new QLabel(this);
  image->setObjectName(QLatin1String(kIcon));
  image->setGeometry(20, 26, kIconSize, kIconSize);
  image->setPixmap(programIcon(*this));

  auto* frame = new QFrame(this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setGeometry(84, 14, 310, 122);

  QLabel* title = build::label(frame, kProgram, QStringLiteral("Varnix v" VARNIX_VERSION),
                               QRect(12, 8, 286, 24));
  QFont titleFont = title->font();
  titleFont.setPointSize(12);
  titleFont.setBold(true);
  title->setFont(titleFont);
  build::label(frame, kOrigin, QStringLiteral("由 Varnix 開發小組製作的免費軟體，歡迎自由使用。"),
               QRect(12, 36, 286, 22));
  helpLink_ = build::label(frame, kHelpLink, QStringLiteral("使用說明 (readme.htm)"),
                           QRect(12, 64, 286, 22));
  makeLink(helpLink_, QDir::toNativeSeparators(helpPage_));
  // A link that leads nowhere is worse than none: the page may have been left out of a copy.
  helpLink_->setVisible(QFileInfo(helpPage_).isFile());
  mailLink_ = build::label(frame, kMailLink, mailAddress_, QRect(12, 90, 286, 22));
  makeLink(mailLink_, QStringLiteral("寫信給我們"));
  mailLink_->setVisible(!mailAddress_.isEmpty());
  helpLink_->installEventFilter(this);
  mailLink_->installEventFilter(this);
  build::label(this, kLicence, QStringLiteral("授權：GNU GPL 第 3 版或更新版本"),
               QRect(20, 152, 280, 22));

  QPushButton* ok = build::button(this, kOk, QStringLiteral("確定(&O)"), {310, 148, 84, 28});
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, [this] { leave(QDialog::Accepted); });
}

bool AboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == helpLink_) {
      shell::openDocument(helpPage_);
      return true;
    }
    if (watched == mailLink_) {
      shell::openAddress(QStringLiteral("mailto:") + mailAddress_);
      return true;
    }
  }
  return FixedDialog::eventFilter(watched, event);
}

void openAbout(book::Workspace& store, Dialogs& dialogs, QWidget* parent) {
  AboutForm form(store.user().helpPage(), AboutForm::contactMail(), parent);
  dialogs.exec(form);
}
