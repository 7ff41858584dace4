#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QTemporaryDir>

// A file dialog starts in the folder chosen last while it exists, else in the desktop's
// documents folder (named by its user-dirs file), else at home.
TEST(FileDialogFolder, StartsInTheLastFolderElseDocumentsElseHome) {
  QTemporaryDir home;
  const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
  putFile(home.filePath(".config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/文件\"\n");
  QDir().mkpath(home.filePath("文件"));
  ScriptedDialogs dialogs;
  dialogs.type(home.filePath("statements/may.csv"));
  dialogs.cancelInput();
  dialogs.cancelInput();
  const FileRequest save{FileRequest::Purpose::Save, "存成PDF", "帳本.pdf", "PDF (*.pdf)"};
  EXPECT_EQ(dialogs.chooseFile(save), home.filePath("statements/may.csv"));
  EXPECT_EQ(dialogs.chooseFile(save), QString());  // the last folder does not exist
  QDir().mkpath(home.filePath("statements"));
  dialogs.chooseFile({FileRequest::Purpose::Open, "選擇對帳單", {}, {}});
  ASSERT_EQ(dialogs.shown().size(), 3u);
  EXPECT_EQ(dialogs.shown()[0].defaultText, home.filePath("文件/帳本.pdf"));
  EXPECT_EQ(dialogs.shown()[1].defaultText, home.filePath("文件/帳本.pdf"));
  EXPECT_EQ(dialogs.shown()[2].defaultText, home.filePath("statements"));
  QDir(home.filePath("文件")).removeRecursively();
  EXPECT_EQ(fileDialogFolder(home.filePath("gone")), home.path());
  qputenv("HOME", oldHome);
  qputenv("XDG_CONFIG_HOME", oldConfig);
}
