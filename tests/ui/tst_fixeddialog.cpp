// The modal dialogs' common behaviour: no way out but their own buttons.
#include "platform/widgets/FixedDialog.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class FixedDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void escapeAndCloseDoNothingWithoutACancelButton() {
    FixedDialog dialog;
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    auto* ok = new QPushButton(QStringLiteral("確定(&O)"), &dialog);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.close());
    QCloseEvent byWindowManager;
    QCoreApplication::sendEvent(&dialog, &byWindowManager);
    QVERIFY(!byWindowManager.isAccepted());
    QVERIFY(dialog.isVisible());
    QCOMPARE(finished.count(), 0);

    // Its own button still leaves it.
    QObject::connect(ok, &QPushButton::clicked, &dialog, [&] { dialog.leave(); });
    ok->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }

  void escapeClicksTheCancelButton() {
    FixedDialog dialog;
    auto* cancel = new QPushButton(QStringLiteral("取消"), &dialog);
    dialog.setCancelButton(cancel);
    QSignalSpy clicked(cancel, &QPushButton::clicked);
    QObject::connect(cancel, &QPushButton::clicked, &dialog,
                     [&] { dialog.leave(QDialog::Rejected); });
    dialog.show();
    QVERIFY(!dialog.close());  // the title bar still does nothing
    QCOMPARE(clicked.count(), 0);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    // A disabled cancel button is not clicked by Esc either.
    dialog.show();
    cancel->setEnabled(false);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
  }

  void acceptFromADefaultButtonStillCloses() {
    FixedDialog dialog;
    auto* ok = new QPushButton(QStringLiteral("確定(&O)"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }
};

QTEST_MAIN(FixedDialogTest)
#include "tst_fixeddialog.moc"
