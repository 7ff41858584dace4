#pragma once

#include "platform/message.h"
#include "store/booktables.h"
#include "store/fingerprint.h"
#include "store/records.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace store {

// The two files of a database: "Accounts.dat" and "Main.dat", 128-byte records in slot order,
// the last record without its filler, little-endian integers, code page 950 text.

inline const QString kAccountsFile = QStringLiteral("Accounts.dat");
inline const QString kEntriesFile = QStringLiteral("Main.dat");

// The data bytes of one record (22 and 104 bytes).
QByteArray accountRecordBytes(const AccountRecord& account);
QByteArray entryRecordBytes(const LedgerEntry& entry);

// Whole files: records of 128 bytes, filler as zero bytes, the last record without filler.
QByteArray accountsFileBytes(const AccountTableType& table, int count);
QByteArray entriesFileBytes(const EntryTableType& table, int count);

// Reading a file's bytes into a fresh table; the count (first free slot) or the reason in words.
std::variant<int, QString> readAccounts(const QByteArray& bytes, AccountTableType& table);
std::variant<int, QString> readEntries(const QByteArray& bytes, EntryTableType& table);

// True when the database folder holds no "Main.dat" yet: opening it makes a new database, whose
// opening entry needs the starting cash.
bool needsStartingCash(const QString& folder);

// Reads a book folder without touching it: no lock is taken, nothing is written, a save cut
// short on disk is read as it will be completed (the finished new files when the group's
// marker says they are whole, the old ones otherwise). A book whose files are missing or
// damaged gives the reason in words. For reading other books while one is open.
std::variant<BookTables, QString> readBookFolder(const QString& folder);

// A book's chart with each account's balance as of one date.
struct BookBalances {
  AccountTableType accounts;
  int accountCount = 1;          // first free slot
  std::vector<qint64> balances;  // index slot - 1
};

// What a reader does with a book's files once it is done: close them, or leave them open and
// mapped until the process ends. A command line that exits right after saves the cost of giving
// the pages back.
enum class BookFiles { Close, LeaveOpen };

// A book folder read as readBookFolder reads it, for its balances only: the entries are summed
// straight from their file's records and never decoded or kept.
std::variant<BookBalances, QString> readBookBalances(const QString& folder, const QString& date,
                                                     BookFiles files = BookFiles::Close);

// Opening a book folder, before anything in memory changes: a save cut short by a crash is
// completed or undone, both files are read and checked, and a new, empty folder gets its cash
// and equity accounts and the opening entry of `startingCash` on `today` (ignored when the book
// has its entries already), written together. The reason in words on any failure, with nothing
// written.
struct OpeningFiles {
  QByteArray accountBytes;
  QByteArray entryBytes;
  int accountRecords = 0;
  int entryRecords = 0;
  bool madeNew = false;  // a file was made: the book is new
};
std::variant<OpeningFiles, QString> readForOpening(const QString& folder, const QString& today,
                                                   qint32 startingCash);
// Fills the tables from what readForOpening read; nothing can fail here.
void decodeOpening(const OpeningFiles& files, BookTables& tables);

// Reads a book folder's two files into the tables without writing anything: no new
// book is made, a save cut short is read as opening would complete it but left on disk as
// it is. The counts are set; the panels are not. The refusal in words leaves the tables as they
// were. Balances need no memos: without them, they stay empty and a book reads quicker.
enum class BookMemos { Read, Skip };
std::optional<QString> readBookFolderInto(const QString& folder, BookTables& tables,
                                          BookMemos memos = BookMemos::Read);

// The fingerprint of a book's files with these bytes, as just read or written.
BookFingerprint fingerprintOfBook(const QString& folder, const QByteArray& accounts,
                                  const QByteArray& entries);

// The answer to "一開始有多少現金": 0 for an empty (or blank) answer, halves rounded to even; the
// refusal when the text is no amount or its whole value does not fit 32 bits (the question is
// then asked again).
std::variant<qint32, Message> readStartingCash(const QString& answer);

}  // namespace store
