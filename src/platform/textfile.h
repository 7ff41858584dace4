#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Text files of the program: code page 950, every line ended by CR LF, on every system.
namespace textfile {

// The lines of the file without their line ends; nothing when the file cannot be read.
std::optional<QStringList> readLines(const QString& path);

// The bytes of the lines, each followed by CR LF.
QByteArray toBytes(const QStringList& lines);

// Writes the lines safely (see safefile); the reason in words when it failed.
std::optional<QString> writeLines(const QString& path, const QStringList& lines);

}  // namespace textfile
