#pragma once

#include <QString>

#include <optional>

// The settings file "Varnix.ini" in the program's folder: one line, "[UserName]=" followed by
// the last user who logged in.
namespace settings {

inline const QString kSettingsFile = QStringLiteral("Varnix.ini");

// The remembered user: the first line up to its first comma, the text after the first "="
// up to a second one. Empty when the file is missing, unreadable or holds no "=".
QString readLastUser(const QString& settingsPath);

// Rewrites the file safely; the reason in words on failure.
std::optional<QString> writeLastUser(const QString& settingsPath, const QString& userName);

}  // namespace settings
