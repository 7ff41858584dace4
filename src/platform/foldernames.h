#pragma once

#include <QString>

#include <optional>

// User names and database names become folder names exactly as typed. A name the file systems
// of the program cannot take as one folder name, or that would reach outside its parent
// folder, is refused before anything is looked up or created.
namespace foldernames {

// What the name is called in the refusal: "使用者名稱" or "資料庫名稱".
inline const QString kUserName = QStringLiteral("使用者名稱");
inline const QString kDatabaseName = QStringLiteral("資料庫名稱");

// The reason in words when `name` cannot be a folder name; nothing when it can.
std::optional<QString> folderNameProblem(const QString& name, const QString& what);

}  // namespace foldernames
