// The modal dialogs' common behaviour: no way out but their own buttons.
#include "platform/widgets/FixedDialog.h"

#include <QPushButton>
#include <QTest>

class FixedDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void escapeAndCloseDoNothingWithoutACancelButton() {
    FixedDialog dialog;
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.close());  // the title bar, the window manager, Alt+F4
    QVERIFY(dialog.isVisible());
    dialog.leave();  // what its own buttons do
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }

  void escapeClicksTheCancelButton() {
    FixedDialog dialog;
    auto* cancel = new QPushButton(QStringLiteral("取消"), &dialog);
    dialog.setCancelButton(cancel);
    QObject::connect(cancel, &QPushButton::clicked, &dialog,
                     [&] { dialog.leave(QDialog::Rejected); });
    dialog.show();
    QVERIFY(!dialog.close());  // the title bar still does nothing
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }
};

QTEST_MAIN(FixedDialogTest)
#include "tst_fixeddialog.moc"
