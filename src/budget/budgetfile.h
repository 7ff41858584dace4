#pragma once

#include "budget/plan.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

// The budget's file in the book's folder: UTF-8 text, a first line naming the kind and version,
// then one plan a line, each with its stable id, the time it last changed (UTC, ISO 8601) and a
// deletion mark, so that two computers' copies merge plan by plan. The book's own files never
// carry any of it.
namespace budgetfile {

inline const QString kFileName = QStringLiteral("Budget.txt");
inline const QByteArray kHeader = QByteArrayLiteral("Varnix budget 1");
// More lines than a hundred accounts over many decades is a foreign file, not a budget.
inline constexpr qsizetype kMaxBytes = 8 * 1024 * 1024;

QString pathIn(const QString& bookFolder);

QByteArray write(const std::vector<budget::Plan>& plans);

// Every line is checked; a damaged or foreign file is refused whole, in words naming the line.
std::variant<std::vector<budget::Plan>, QString> read(const QByteArray& bytes);

// The book's budget: no file is an empty budget. The refusal in words when it cannot be read.
std::variant<std::vector<budget::Plan>, QString> load(const QString& bookFolder);
std::optional<QString> save(const QString& bookFolder, const std::vector<budget::Plan>& plans);

}  // namespace budgetfile
