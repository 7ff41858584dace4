#pragma once

#include "reconcile/reconciliation.h"

#include <QByteArray>
#include <QString>

#include <variant>
#include <vector>

// A book's reconciliations in a side file beside its own files: one record for each
// reconciliation and one for each entry it ticked, so two computers' copies merge record by
// record and a tick taken back is a deletion like any other.
namespace reconcile {

inline const QString kReconciliationsFile = QStringLiteral("Reconciliations.txt");
inline const QString kReconciliationsKind = QStringLiteral("varnix-reconciliations");
inline constexpr int kReconciliationsVersion = 1;

QString reconciliationsPath(const QString& bookFolder);

// The file's bytes as reconciliations. A record out of form is left out (and kept in the file);
// a tick of no reconciliation read is left out with it.
std::variant<std::vector<Reconciliation>, QString> reconciliationsFrom(const QByteArray& bytes);

std::variant<std::vector<Reconciliation>, QString> readReconciliations(const QString& bookFolder);

// Writes them merged with what the file holds now; ticks of these reconciliations that they no
// longer hold are marked deleted. Gives back what the file holds now. A book with no
// reconciliation and no file gets none.
std::variant<std::vector<Reconciliation>, QString> writeReconciliations(
    const QString& bookFolder, const std::vector<Reconciliation>& all);

}  // namespace reconcile
