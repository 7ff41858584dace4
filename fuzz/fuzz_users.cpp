// The users' files and names, over any bytes: the password file, "Varnix.ini", "DataBase.lst",
// and the names that become folder names. Nothing crashes; what is accepted works.
#include "catalogue/catalogue.h"
#include "platform/codepage.h"
#include "platform/foldernames.h"
#include "store/booklist.h"
#include "support.h"
#include "users/password.h"
#include "users/settings.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t which = data[0] % 4;
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  const QString path = fuzz::scratch() + QStringLiteral("/file");
  switch (which) {
    case 0: {
      // A password file: a reason in words, or a password that the same file accepts again.
      fuzz::put(path, bytes);
      const password::FileRead read = password::readPasswordFile(path);
      if (read.error) {
        fuzz::require(!read.error->isEmpty(), "a refusal says why");
        break;
      }
      if (codepage::canEncode(read.password)) {
        fuzz::require(password::writePasswordFile(path, read.password) == std::nullopt, "written");
        const password::FileRead again = password::readPasswordFile(path);
        fuzz::require(!again.error && again.password == read.password,
                      "a decoded password survives its own file");
      }
      break;
    }
    case 1: {
      // A typed password: accepted ones come back from the file unchanged.
      const QString typed = QString::fromUtf8(bytes);
      if (password::passwordProblem(typed)) break;
      const QString encoded = password::encodePassword(typed);
      fuzz::require(encoded.size() == 4 * typed.toUcs4().size(), "four digits a character");
      fuzz::require(password::decodePassword(encoded) == typed, "decode undoes encode");
      break;
    }
    case 2: {
      // Settings: the remembered user of any file; a user name written is read back.
      fuzz::put(path, bytes);
      const QString user = settings::readLastUser(path);
      fuzz::require(!user.contains(QLatin1Char('\n')), "one line");
      if (!foldernames::folderNameProblem(user, foldernames::kUserName) &&
          !user.contains(QLatin1Char(',')) && !user.contains(QLatin1Char('='))) {
        fuzz::require(settings::writeLastUser(path, user) == std::nullopt, "settings written");
        fuzz::require(settings::readLastUser(path) == user, "the user comes back");
      }
      fuzz::require(store::readDatabaseList(path).index() == 0, "a readable list reads");
      break;
    }
    case 3: {
      // A name that is accepted becomes exactly one folder inside its parent.
      const QString name = QString::fromUtf8(bytes);
      const auto problem = foldernames::folderNameProblem(name, foldernames::kDatabaseName);
      if (problem) {
        fuzz::require(!problem->isEmpty(), "a refusal says why");
        break;
      }
      const QString folder = fuzz::scratch() + QLatin1Char('/') + name;
      QDir parent(fuzz::scratch());
      if (parent.mkdir(name)) {
        fuzz::require(
            QFileInfo(folder).absolutePath() == QFileInfo(fuzz::scratch()).absoluteFilePath(),
            "an accepted name stays inside its parent");
        fuzz::require(parent.rmdir(name), "and can be removed");
      } else {
        // Only length may stop an accepted name on this system.
        fuzz::require(name.toUtf8().size() > 255, "an accepted name is a folder name");
      }
      break;
    }
  }
  return 0;
}
