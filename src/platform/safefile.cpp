#include "platform/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

}  // namespace

FailAfterBytes::FailAfterBytes(qint64 bytes) : previous_(failAfter) { failAfter = bytes; }
FailAfterBytes::~FailAfterBytes() { failAfter = previous_; }

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
  const QFileInfo info(path);
  if (info.isDir()) {
    return QStringLiteral("無法寫入「%1」：這個位置是一個資料夾").arg(shownPath(path));
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
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

std::optional<QByteArray> read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return bytes;
}

}  // namespace safefile
