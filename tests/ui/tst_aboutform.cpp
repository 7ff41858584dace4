// The about box: its links lead only where something is (the installed help page, a mail
// address named at build time), and only its OK button (Enter, the default) leaves it.
#include "WindowSteps.h"
#include "store/Module1.h"
#include "ui/main/AboutForm.h"

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

  void helpLinkOpensTheInstalledPageAndOnlyOkLeaves() {
    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath("readme.htm")).open(QIODevice::WriteOnly));
    ScriptedDialogs dialogs;
    Module1 store(dir.path(), dialogs);
    QList<bool> shown;  // the two links, after Esc and the title bar, after Enter
    int result = -1;
    dialogs.onModal([&](QDialog& d) {
      d.show();
      shown << child(d, "Label3")->isVisible() << child(d, "Label4")->isVisible();
      for (const char* name : {"Label3", "Label1"})  // the last one is no link
        QTest::mouseClick(child(d, name), Qt::LeftButton);
      QTest::keyClick(&d, Qt::Key_Escape);
      shown << (!d.close() && d.isVisible());
      QTest::keyClick(&d, Qt::Key_Return);
      shown << d.isVisible();
      return result = d.result();
    });
    openAbout(store, nullptr);
    QCOMPARE(result, int(QDialog::Accepted));
    // No address named at build time, no mail link.
    QCOMPARE(shown, (QList<bool>{true, !AboutForm::contactMail().isEmpty(), true, false}));
    QCOMPARE(opened_, (QList<QUrl>{QUrl::fromLocalFile(dir.filePath("readme.htm"))}));
  }

  void linksShowOnlyWhereTheyLead() {
    QTemporaryDir dir;  // no help page in it
    AboutForm form(dir.filePath(QStringLiteral("readme.htm")),
                   QStringLiteral(" kassa@example.com "));
    form.show();
    QVERIFY(!child(form, "Label3")->isVisible());
    QTest::mouseClick(child(form, "Label4"), Qt::LeftButton);
    QCOMPARE(opened_, (QList<QUrl>{QUrl(QStringLiteral("mailto:kassa@example.com"))}));
  }
};

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
