#include "ScriptedDialogs.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A home of its own whose desktop may or may not have made a documents folder.
struct Home {
  QTemporaryDir dir;
  QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
  Home() {
    qputenv("HOME", dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.filePath(".config").toUtf8());
  }
  ~Home() {
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
  }
  QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

TEST(FileDialogFolder, StartsWhereAFolderExists) {
  const struct {
    bool documents;
    bool remembered;
    const char* expected;  // within the home; "" is the home itself
  } rows[] = {
      {true, true, "last"}, {true, false, "Documents"}, {false, true, "last"}, {false, false, ""}};
  for (const auto& row : rows) {
    Home home;
    if (row.documents) QDir().mkpath(home.path("Documents"));
    if (row.remembered) QDir().mkpath(home.path("last"));
    EXPECT_EQ(QDir(fileDialogFolder(home.path("last"))), QDir(home.path(row.expected)))
        << row.documents << row.remembered;
  }
}

TEST(FileDialogFolder, TheDesktopsDocumentsFolderAndTheLastChoiceAreRemembered) {
  Home home;
  QDir().mkpath(home.path(".config"));
  QDir().mkpath(home.path("文件"));
  QFile dirs(home.path(".config/user-dirs.dirs"));
  ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
  dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/\xe6\x96\x87\xe4\xbb\xb6\"\n");
  dirs.close();
  ScriptedDialogs dialogs;
  dialogs.type(home.path("statements/may.csv"));
  dialogs.cancelInput();
  dialogs.type(QString());
  const FileRequest save{FileRequest::Purpose::Save, "存成PDF", "帳本.pdf", "PDF (*.pdf)"};
  EXPECT_EQ(dialogs.chooseFile(save), home.path("statements/may.csv"));
  // The folder chosen last does not exist: it is not offered.
  EXPECT_EQ(dialogs.chooseFile(save), QString());
  QDir().mkpath(home.path("statements"));
  dialogs.chooseFile({FileRequest::Purpose::Open, "選擇對帳單", {}, {}});
  ASSERT_EQ(dialogs.shown().size(), 3u);
  EXPECT_EQ(dialogs.shown()[0].defaultText, home.path("文件/帳本.pdf"));
  EXPECT_EQ(dialogs.shown()[1].defaultText, home.path("文件/帳本.pdf"));
  EXPECT_EQ(dialogs.shown()[2].defaultText, home.path("statements"));
}

}  // namespace
