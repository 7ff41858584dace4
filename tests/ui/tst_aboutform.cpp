// The about box: its two links open the home page and the mail program, and only its OK button
// (Enter, the default) leaves it.

#include "WindowSteps.h"
#include "store/Module1.h"
#include "ui/main/AboutForm.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTemporaryDir>

class TestAboutForm : public QObject {
  Q_OBJECT

  QList<QUrl> opened_;

 public slots:
  // Takes the addresses handed to the system instead of a browser or mail program.
  void open(const QUrl& url) { opened_.append(url); }

 private slots:
  void opensItsLinksAndLeavesOnlyByOk();
};

void TestAboutForm::opensItsLinksAndLeavesOnlyByOk() {
  const QStringList schemes{"https", "http", "mailto"};
  for (const QString& scheme : schemes) QDesktopServices::setUrlHandler(scheme, this, "open");
  const auto unset = qScopeGuard([&] {
    for (const QString& scheme : schemes) QDesktopServices::unsetUrlHandler(scheme);
  });
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store(dir.path(), dialogs);
  QStringList addresses;
  QList<bool> shown;  // after Esc, after Enter
  int result = -1;
  dialogs.onModal([&](QDialog& d) {
    d.show();
    for (const char* name : {"Label3", "Label4", "Label1"}) {  // the last one is no link
      auto* label = child<QLabel>(d, name);
      addresses << label->text();
      QTest::mouseClick(label, Qt::LeftButton);
    }
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {  // Enter is the OK button
      QTest::keyClick(&d, key);
      shown << d.isVisible();
    }
    return result = d.result();
  });
  openAbout(store, nullptr);
  QCOMPARE(shown, (QList<bool>{true, false}));
  QCOMPARE(result, int(QDialog::Accepted));
  QCOMPARE(opened_, (QList<QUrl>{QUrl(addresses[0]), QUrl("mailto:" + addresses[1])}));
}

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
