#pragma once

#include "store/database.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <variant>

// The base of a merge: the bytes this computer last read or wrote for a book. Kept per computer,
// outside the book's folder (which a sync tool carries to the other computer), keyed by the
// book's path, so two computers never share one.
namespace merge {

// $XDG_STATE_HOME/Varnix/bases, or ~/.local/state/Varnix/bases when the variable is unset.
QString basesFolder();

// The folder of one book's base: a hash of the book folder's absolute path.
QString baseFolderOf(const QString& bookFolder);

// Keeps both files' bytes as the book's base, together and safely; the reason in words when
// they could not be written (the book itself is not touched either way).
std::optional<QString> keepBase(const QString& bookFolder, const QByteArray& accounts,
                                const QByteArray& entries);

struct Base {
  store::BookTables tables;
  bool fromBackup = false;  // a backup of the book, not this computer's base
  QDateTime taken;          // fromBackup: when that backup was kept
};

// The book's base, or failing that its newest backup that reads; the reason when neither is.
std::variant<Base, QString> findBase(const QString& bookFolder);

// The base of two versions that changed apart (a sync tool's conflict copy beside the book):
// this computer's base is then one of the two versions (the one it read at opening), so the
// last version both came from is sought among it and the book's backups, the versions this
// computer replaced: of those equal to neither side, the one fewest records away from both.
// Every version on this computer's way from that one to its side is as few records away (the
// later ones hold what only one side has, and lack what the other side added); of those the
// oldest is the one both came from. Without a backup of that version there is none.
std::variant<Base, QString> findCommonBase(const QString& bookFolder, const store::BookTables& one,
                                           const store::BookTables& other);

}  // namespace merge
