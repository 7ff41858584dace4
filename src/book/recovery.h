#pragma once

#include "platform/message.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <variant>

namespace book {
class Workspace;
}

// What a session changed since the book was last saved, kept beside the book's files while it
// is open, so that a crash or a power cut costs at most the last two seconds. The book files
// themselves change only when the book is left, as other programs expect.
//
// A side file "Varnix.recovery" (see platform/sidefile.h, kind "varnix-recovery"): one record
// "book" naming the user and the book with each table's size and SHA-256, then the tables'
// exact file bytes in base64, in parts ("accounts-1", "entries-1", ...) short enough for a
// side-file line.
namespace recovery {

inline const QString kRecoveryFile = QStringLiteral("Varnix.recovery");
inline const QString kKind = QStringLiteral("varnix-recovery");
inline constexpr int kVersion = 1;

// The session as the book files would hold it.
struct Snapshot {
  QString user;
  QString book;
  QByteArray accounts;  // "Accounts.dat"
  QByteArray entries;   // "Main.dat"
  QDateTime written;    // UTC
};

QString pathIn(const QString& bookFolder);

// The file's bytes; the snapshot's `written` is the records' change time.
std::variant<QByteArray, QString> serialize(const Snapshot& snapshot);

// Reads untrusted bytes. The reason in words when they are no recovery file, are cut or
// changed (sizes and checksums disagree), or hold tables a book could not open.
std::variant<Snapshot, QString> parse(const QByteArray& bytes);

// The open book's tables as a snapshot written now (store's clock).
Snapshot snapshotOf(const book::Workspace& store);

// True when the tables are those of the book's files as last read or written: there is then
// nothing to recover.
bool matchesSavedFiles(const book::Workspace& store);

// Writes safely; the reason in words when it could not.
std::optional<QString> write(const QString& bookFolder, const Snapshot& snapshot);

// Removes the book's recovery file, if any: the book was left cleanly.
void discard(const QString& bookFolder);

// What the book's folder holds for the open book.
struct NoRecovery {};
struct Damaged {
  QString reason;
};
using Found = std::variant<NoRecovery, Snapshot, Damaged>;
Found find(const book::Workspace& store);

// The question at opening, with the time in words (local time).
Message question(const Snapshot& snapshot);
QString timeInWords(const QDateTime& utc);

// Brings the snapshot's tables into the open book as one step of its history (復原 takes it
// back). The recovery file stays until the book is left, as the book files still lack it.
void restore(book::Workspace& store, const Snapshot& snapshot);

// Keeps the snapshot as a backup of the book, then removes the recovery file. The refusal in
// words when the backup could not be kept: the file then stays, so nothing is lost.
std::optional<Message> decline(const book::Workspace& store, const Snapshot& snapshot);

// Moves a damaged file aside (never deleted: it may still be read by hand) and gives the
// message to show; the book stays as last saved.
Message setAside(const book::Workspace& store, const Damaged& damaged);

}  // namespace recovery
