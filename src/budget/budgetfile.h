#pragma once

#include "budget/plan.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

// The budget's file in the book's folder, in the side-file form (platform/sidefile): one plan a
// record, so that two computers' copies merge plan by plan. The book's own files never carry
// any of it.
namespace budgetfile {

inline const QString kFileName = QStringLiteral("Budget.txt");

QString pathIn(const QString& bookFolder);

// The file's bytes; the reason in words when a plan could not be read back.
std::variant<QByteArray, QString> write(const std::vector<budget::Plan>& plans);

// Every line is checked; a damaged or foreign file is refused whole, in words naming the line.
std::variant<std::vector<budget::Plan>, QString> read(const QByteArray& bytes);

// The book's budget: no file is an empty budget. The refusal in words when it cannot be read.
std::variant<std::vector<budget::Plan>, QString> load(const QString& bookFolder);
// Merges the plans with the copy on disk, plan by plan (the later change wins, a deletion
// too), writes the result when it differs from that copy and returns it: what another computer
// wrote there is kept and comes back. Nothing is written when the copy on disk cannot be read.
std::variant<std::vector<budget::Plan>, QString> save(const QString& bookFolder,
                                                      const std::vector<budget::Plan>& plans);

}  // namespace budgetfile
