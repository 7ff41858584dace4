// The about box: what it shows, its two links, and that only its OK button leaves it.

#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "ui/forms.h"

#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// Takes the addresses the about box hands to the system instead of a browser or mail program.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public slots:
  void open(const QUrl& url) { opened.append(url); }
};

class TestAboutForm : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void showsNameNoticeAndAddresses();
  void linksOpenTheHomePageAndTheMailProgram();
  void leftOnlyByItsOkButton();

 private:
  // Opens the about box and runs `steps` against it, shown.
  void runAbout(const std::function<void(QDialog&)>& steps, bool closeWithOk = true);

  QTemporaryDir dir_;
  ScriptedDialogs dialogs_;
  UrlCatcher catcher_;
  int result_ = -1;
};

void TestAboutForm::init() {
  dialogs_.clear();
  catcher_.opened.clear();
  result_ = -1;
  QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher_, "open");
  QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher_, "open");
  QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher_, "open");
}

void TestAboutForm::cleanup() {
  for (const char* scheme : {"https", "http", "mailto"}) {
    QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
  }
}

void TestAboutForm::runAbout(const std::function<void(QDialog&)>& steps, bool closeWithOk) {
  Module1 store(dir_.path(), dialogs_);
  bool ran = false;
  dialogs_.onModal([&](QDialog& d) {
    d.show();
    steps(d);
    ran = true;
    if (closeWithOk) {
      QPushButton* ok = d.findChild<QPushButton*>(QStringLiteral("Command1"));
      if (ok) QTest::mouseClick(ok, Qt::LeftButton);
    }
    result_ = d.isVisible() ? -1 : d.result();
    return d.result();
  });
  openAbout(store, nullptr);
  QVERIFY(ran);
  QVERIFY(dialogs_.unscripted().isEmpty());
}

namespace {

QLabel* label(QDialog& d, const char* name) {
  QLabel* l = d.findChild<QLabel*>(QLatin1String(name));
  if (!l) qFatal("no label %s", name);
  return l;
}

// A label shows all of its text inside the window.
bool fullyShown(QDialog& d, QLabel* l) {
  const QRect inWindow(l->mapTo(&d, QPoint(0, 0)), l->size());
  return l->width() >= l->sizeHint().width() && d.rect().contains(inWindow);
}

}  // namespace

void TestAboutForm::showsNameNoticeAndAddresses() {
  runAbout([](QDialog& d) {
    QCOMPARE(d.windowTitle(), QStringLiteral("關於"));
    QCOMPARE(label(d, "Label1")->text(), QStringLiteral("Varnix v1.1"));
    QVERIFY(!label(d, "Label2")->text().isEmpty());
    QVERIFY(label(d, "Label3")->text().startsWith(QLatin1String("http")));
    QVERIFY(label(d, "Label4")->text().contains(QLatin1Char('@')));
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
      QVERIFY2(fullyShown(d, label(d, name)), name);
    }
    for (const char* name : {"Label3", "Label4"}) {
      const QColor text = label(d, name)->palette().color(QPalette::WindowText);
      QVERIFY2(text.blue() > 200 && text.red() < 80 && text.green() < 80, name);
    }
    QVERIFY(!label(d, "Image2")->pixmap().isNull());
    QPushButton* ok = d.findChild<QPushButton*>(QStringLiteral("Command1"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("確定(&O)"));
    QVERIFY(ok->isDefault());
  });
  QCOMPARE(result_, int(QDialog::Accepted));
}

void TestAboutForm::linksOpenTheHomePageAndTheMailProgram() {
  QString home;
  QString mail;
  runAbout([&](QDialog& d) {
    home = label(d, "Label3")->text();
    mail = label(d, "Label4")->text();
    QTest::mouseClick(label(d, "Label3"), Qt::LeftButton);
    QTest::mouseClick(label(d, "Label4"), Qt::LeftButton);
    QTest::mouseClick(label(d, "Label1"), Qt::LeftButton);  // no link
    QVERIFY(d.isVisible());
  });
  QCOMPARE(catcher_.opened, (QList<QUrl>{QUrl(home), QUrl(QStringLiteral("mailto:") + mail)}));
}

void TestAboutForm::leftOnlyByItsOkButton() {
  runAbout(
      [](QDialog& d) {
        QVERIFY(!(d.windowFlags() & Qt::WindowCloseButtonHint));
        d.close();
        QVERIFY(d.isVisible());
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(d.isVisible());
        // Enter is the OK button.
        QTest::keyClick(&d, Qt::Key_Return);
        QVERIFY(!d.isVisible());
      },
      false);
  QCOMPARE(result_, int(QDialog::Accepted));
  QVERIFY(catcher_.opened.isEmpty());
}

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
