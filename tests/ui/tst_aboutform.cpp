// The about box: its links lead only where something is (the installed help page, a mail
// address named at build time), and only its OK button (Enter, the default) leaves it.
#include "WindowSteps.h"
#include "ui/main/AboutForm.h"

class TestAboutForm : public QObject {
  Q_OBJECT

  QList<QUrl> opened_;
  const QStringList schemes_{"file", "https", "http", "mailto"};

 public slots:
  // Takes the addresses handed to the system instead of a browser or mail program.
  void open(const QUrl& url) { opened_.append(url); }

 private slots:
  void init() {
    opened_.clear();
    for (const QString& scheme : schemes_) QDesktopServices::setUrlHandler(scheme, this, "open");
  }
  void cleanup() {
    for (const QString& scheme : schemes_) QDesktopServices::unsetUrlHandler(scheme);
  }

  void linksOpenTheirPlacesAndOnlyOkLeaves() {
    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath("readme.htm")).open(QIODevice::WriteOnly));
    AboutForm form(dir.filePath("readme.htm"), QStringLiteral(" kassa@example.com "));
    form.show();
    for (const char* name : {AboutForm::kHelpLink, AboutForm::kMailLink,
                             AboutForm::kProgram})  // the last one is no link
      QTest::mouseClick(child(form, name), Qt::LeftButton);
    QCOMPARE(opened_, (QList<QUrl>{QUrl::fromLocalFile(dir.filePath("readme.htm")),
                                   QUrl("mailto:kassa@example.com")}));
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(!form.close() && form.isVisible());  // nor the title bar
    QTest::keyClick(&form, Qt::Key_Return);
    QVERIFY(!form.isVisible() && form.result() == QDialog::Accepted);
  }

  void linksShowOnlyWhereTheyLead() {
    QTemporaryDir dir;  // no help page in it
    AboutForm form(dir.filePath("readme.htm"), QString());
    form.show();
    QVERIFY(!child(form, AboutForm::kHelpLink)->isVisible() &&
            !child(form, AboutForm::kMailLink)->isVisible());
  }
};

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
