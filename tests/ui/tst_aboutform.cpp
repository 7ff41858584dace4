// The about box: its links lead only where something is (the installed help page, a mail
// address named at build time), and only its OK button (Enter, the default) leaves it.

#include "WindowSteps.h"
#include "store/Module1.h"
#include "ui/main/AboutForm.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

class TestAboutForm : public QObject {
  Q_OBJECT

  QList<QUrl> opened_;

 public slots:
  // Takes the addresses handed to the system instead of a browser or mail program.
  void open(const QUrl& url) { opened_.append(url); }

 private slots:
  void init() {
    opened_.clear();
    for (const char* scheme : {"file", "https", "http", "mailto"})
      QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
  }
  void cleanup() {
    for (const char* scheme : {"file", "https", "http", "mailto"})
      QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
  }

  void helpLinkOpensTheInstalledPage() {
    QTemporaryDir dir;
    QFile page(dir.filePath(QStringLiteral("readme.htm")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.close();
    ScriptedDialogs dialogs;
    Module1 store(dir.path(), dialogs);
    QList<bool> shown;  // the two links, after Esc, after Enter
    int result = -1;
    dialogs.onModal([&](QDialog& d) {
      d.show();
      shown << child<QLabel>(d, "Label3")->isVisible() << child<QLabel>(d, "Label4")->isVisible();
      for (const char* name : {"Label3", "Label1"}) {  // the last one is no link
        QTest::mouseClick(child<QLabel>(d, name), Qt::LeftButton);
      }
      for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {  // Enter is the OK button
        QTest::keyClick(&d, key);
        shown << d.isVisible();
      }
      return result = d.result();
    });
    openAbout(store, nullptr);
    // No address named at build time, no mail link.
    const bool mail = !AboutForm::contactMail().isEmpty();
    QCOMPARE(shown, (QList<bool>{true, mail, true, false}));
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(opened_, (QList<QUrl>{QUrl::fromLocalFile(page.fileName())}));
  }

  void linksShowOnlyWhereTheyLead() {
    QTemporaryDir dir;  // no help page in it
    AboutForm form(dir.filePath(QStringLiteral("readme.htm")),
                   QStringLiteral(" kassa@example.com "));
    form.show();
    QVERIFY(!child<QLabel>(form, "Label3")->isVisible());
    auto* mail = child<QLabel>(form, "Label4");
    QVERIFY(mail->isVisible());
    QTest::mouseClick(mail, Qt::LeftButton);
    QCOMPARE(opened_, (QList<QUrl>{QUrl(QStringLiteral("mailto:kassa@example.com"))}));
  }
};

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
