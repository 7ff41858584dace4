// The program installed system-wide: a person's first start lays the sample user in their
// home, and the login window logs in as Test from there.
#include "WindowSteps.h"
#include "platform/datafolder.h"
#include "store/Module1.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"

#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

const QString kShipped = QStringLiteral(VARNIX_SOURCE_DIR "/resources/defaults");

void copyTree(const QString& from, const QString& to) {
  QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    const QString target = to + file.mid(from.size());
    QDir().mkpath(QFileInfo(target).path());
    if (!QFile::copy(file, target)) qFatal("cannot copy %s", qPrintable(file));
  }
}

QStringList filesBelow(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next();
  files.sort();
  return files;
}

}  // namespace

class TestInstalledStart : public QObject {
  Q_OBJECT

 private slots:
  void firstStartInTheHomeLogsInAsTest() {
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir().mkpath(root + QStringLiteral("/usr/bin"));
    copyTree(kShipped + QStringLiteral("/data"),
             root + QStringLiteral("/usr/share/varnix/defaults"));
    copyTree(kShipped + QStringLiteral("/program"), root + QStringLiteral("/usr/share/varnix"));
    const QStringList installed = filesBelow(root + QStringLiteral("/usr"));

    const datafolder::Place place = datafolder::choose(
        {root + QStringLiteral("/usr/bin"), {}, {}, {}, root + QStringLiteral("/home")});
    QCOMPARE(place.dataFolder, root + QStringLiteral("/home/.local/share/Varnix"));
    QVERIFY(!datafolder::prepare(place));

    ScriptedDialogs dialogs;
    Module1 store(place.dataFolder, dialogs, place.programFiles);
    MainForm window(store);
    Session session(store, window);
    whenShown(dialogs, [&](QDialog& login) {
      QCOMPARE(child<QLineEdit>(login, "Text1")->text(), QStringLiteral("Test"));
      QTest::keyClicks(child(login, "Text2"), QStringLiteral("839"));
      click(login, "cmdOK");
      QVERIFY(!login.isVisible());
    });
    whenShown(dialogs, [&](QDialog& list) {
      QCOMPARE(store.panel(Module1::UserPanel), QStringLiteral("使用者：Test"));
      click(list, "Cmd6");  // log out
    });
    whenShown(dialogs, [](QDialog& login) { click(login, "cmdCancel"); });
    QVERIFY(!session.start());
    QVERIFY(dialogs.allAnswersUsed() && dialogs.unscripted().isEmpty());

    QCOMPARE(store.helpPage(), root + QStringLiteral("/usr/share/varnix/readme.htm"));
    QVERIFY(QFileInfo(store.helpPage()).isFile());
    QCOMPARE(filesBelow(root + QStringLiteral("/usr")), installed);
  }
};

QTEST_MAIN(TestInstalledStart)
#include "tst_installedstart.moc"
