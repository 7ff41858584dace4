#include "platform/safefile.h"

#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace safefile {
namespace {

// Bytes the test seam still lets through on this thread; -1 when no seam is in place.
thread_local qint64 failAfter = -1;

QString shownPath(const QString& path) { return QDir::toNativeSeparators(path); }

// The reason in the program's own words; the system's wording is not for the person.
QString reason(QFileDevice::FileError error, const QString& path) {
  const QString folder = shownPath(QFileInfo(path).absolutePath());
  switch (error) {
    case QFileDevice::PermissionsError:
      return QStringLiteral("沒有寫入的權限");
    case QFileDevice::OpenError:
      return QFileInfo(folder).isDir() ? QStringLiteral("無法建立檔案")
                                       : QStringLiteral("找不到資料夾「%1」").arg(folder);
    case QFileDevice::RenameError:
      return QStringLiteral("無法取代原有的檔案");
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
      return QStringLiteral("磁碟已滿或無法寫入");
    default:
      return QStringLiteral("無法寫入");
  }
}

// A new file is its owner's only, whatever the umask: books and passwords are private. A file
// that is replaced keeps the permissions it had (QSaveFile carries them over).
bool openPrivate(QSaveFile& file) {
  const bool isNew = !QFileInfo::exists(file.fileName());
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (isNew) file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  return true;
}

}  // namespace

FailAfterBytes::FailAfterBytes(qint64 bytes) : previous_(failAfter) { failAfter = bytes; }
FailAfterBytes::~FailAfterBytes() { failAfter = previous_; }

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
  const QFileInfo info(path);
  if (info.isDir()) {
    return QStringLiteral("無法寫入「%1」：這個位置是一個資料夾").arg(shownPath(path));
  }
  QSaveFile file(path);
  if (!openPrivate(file)) {
    return QStringLiteral("無法寫入「%1」：%2").arg(shownPath(path), reason(file.error(), path));
  }
  qint64 allowed = bytes.size();
  const bool failing = failAfter >= 0 && failAfter < bytes.size();
  if (failing) allowed = failAfter;
  if (failAfter >= 0) failAfter -= allowed;
  if (file.write(bytes.constData(), allowed) != allowed || failing) {
    file.cancelWriting();
    return QStringLiteral("無法寫入「%1」：磁碟已滿或無法寫入").arg(shownPath(path));
  }
  if (!file.commit()) {
    return QStringLiteral("無法寫入「%1」：%2").arg(shownPath(path), reason(file.error(), path));
  }
  return std::nullopt;
}

namespace {

QString inFolder(const QString& folder, const QString& name) {
  return folder + QLatin1Char('/') + name;
}

// Renames over an existing file in one step, as QFile::rename does not.
std::optional<QString> replace(const QString& from, const QString& to) {
  std::error_code error;
  std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                          std::filesystem::path(to.toStdU16String()), error);
  if (!error) return std::nullopt;
  return QStringLiteral("無法寫入「%1」：%2")
      .arg(shownPath(to), QString::fromLocal8Bit(error.message().c_str()));
}

}  // namespace

std::optional<QString> writeGroup(const QString& folder,
                                  const std::vector<std::pair<QString, QByteArray>>& files,
                                  const std::function<void()>& whenWritten) {
  QStringList names;
  for (const auto& [name, bytes] : files) names.append(name);
  if (auto error = finishGroup(folder, names)) return error;
  // A folder in a file's place would stop the group halfway: refuse before anything changes.
  for (const QString& name : names) {
    if (QFileInfo(inFolder(folder, name)).isDir()) {
      return QStringLiteral("無法寫入「%1」：這個位置是一個資料夾")
          .arg(shownPath(inFolder(folder, name)));
    }
  }
  const auto throwAway = [&] {
    for (const QString& name : names) QFile::remove(inFolder(folder, name + kGroupSuffix));
  };
  for (const auto& [name, bytes] : files) {
    if (auto error = write(inFolder(folder, name + kGroupSuffix), bytes)) {
      throwAway();
      return QStringLiteral("無法寫入「%1」：%2")
          .arg(shownPath(inFolder(folder, name)), error->section(QStringLiteral("："), 1));
    }
  }
  if (whenWritten) whenWritten();
  {
    // The marker is written without the disk-full seam: it is what a crash must find whole.
    QSaveFile marker(inFolder(folder, kGroupMarker));
    if (!openPrivate(marker) ||
        marker.write(
            codepage::encode(names.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))) < 0 ||
        !marker.commit()) {
      throwAway();
      return QStringLiteral("無法寫入「%1」：%2")
          .arg(shownPath(inFolder(folder, kGroupMarker)),
               reason(marker.error(), inFolder(folder, kGroupMarker)));
    }
  }
  return finishGroup(folder, names);
}

std::optional<QString> finishGroup(const QString& folder, const QStringList& names) {
  const QString markerPath = inFolder(folder, kGroupMarker);
  if (!QFileInfo::exists(markerPath)) {
    for (const QString& name : names) {
      const QString partial = inFolder(folder, name + kGroupSuffix);
      if (QFileInfo(partial).isFile() && !QFile::remove(partial)) {
        return QStringLiteral("無法刪除「%1」").arg(shownPath(partial));
      }
    }
    return std::nullopt;
  }
  // Only the group's own names are replaced, whatever a damaged marker may list.
  for (const QString& name : names) {
    const QString fresh = inFolder(folder, name + kGroupSuffix);
    if (!QFileInfo(fresh).isFile()) continue;  // replaced before the interruption
    if (auto error = replace(fresh, inFolder(folder, name))) return error;
  }
  if (!QFile::remove(markerPath)) {
    return QStringLiteral("無法刪除「%1」").arg(shownPath(markerPath));
  }
  return std::nullopt;
}

std::optional<QByteArray> read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return bytes;
}

}  // namespace safefile
