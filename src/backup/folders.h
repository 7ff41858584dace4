#pragma once

#include <QString>

#include <optional>

// Folder work of the catalogue and the users. Each returns the reason in words when it failed.
namespace folders {

// A file or a folder of exactly this path.
bool exists(const QString& path);
bool isFolder(const QString& path);

// Creates one folder; its parent must exist.
std::optional<QString> create(const QString& path);

// Copies the folder with every file and subfolder to `to`, which must not exist. A copy that
// fails half-way is removed again, so either the whole copy exists or nothing does.
std::optional<QString> copy(const QString& from, const QString& to);

// Gives the folder a new path in the same parent.
std::optional<QString> rename(const QString& from, const QString& to);

// Deletes the folder with everything in it.
std::optional<QString> remove(const QString& path);

}  // namespace folders
