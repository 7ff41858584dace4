#pragma once

#include "platform/dialogs.h"
#include "store/fingerprint.h"
#include "store/records.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

class Module1;

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

// The two tables of a book folder, as its files hold them.
struct BookTables {
  AccountTableType accounts;
  EntryTableType entries;
  int accountCount = 1;  // first free slot
  int entryCount = 1;    // first free slot
};

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

// Loads the open database (Module1::databaseFolder()) into the tables. A new, empty folder gets
// its cash and equity accounts and the opening entry of `startingCash` (ignored when the
// database has its entries already). On any failure nothing changes: neither the files nor the
// tables in memory; the refusal to show is returned. Sets the account and entry count panels on
// success.
std::optional<Message> LoadDatabase(Module1& store, qint32 startingCash = 0);

// Reads a book folder's two files into the store's tables without writing anything: no new
// book is made, a save cut short is read as LoadDatabase would complete it but left on disk as
// it is. The counts are set; the panels are not. The refusal in words leaves the tables as they
// were. Balances need no memos: without them, they stay empty and a book reads quicker.
enum class BookMemos { Read, Skip };
std::optional<QString> ReadBookFolder(const QString& folder, Module1& store,
                                      BookMemos memos = BookMemos::Read);

// What a save did. With a refusal nothing was written and the open book is as before;
// without one the book is saved, and the notice (if any) is still to be shown: the backup that
// could not be kept, or the book saved under a new name because its files had changed.
struct SaveResult {
  std::optional<Message> refusal;
  std::optional<Message> notice;

  bool saved() const { return !refusal; }
};

// Writes both files of the open database from the tables, together and safely (see
// safefile::writeGroup). First the files on disk are compared with the ones last read or
// written (Module1::Fingerprint): when another program has changed them, the tables are saved
// as a new book in the user's list, which becomes the open one. Otherwise the pair being
// replaced is kept as a backup (backup/backups.h); a backup that fails does not stop the save.
SaveResult SaveDatabase(Module1& store);

// The fingerprint of a book's files with these bytes, as just read or written.
BookFingerprint bookFingerprint(const QString& folder, const QByteArray& accounts,
                                const QByteArray& entries);

// The answer to "一開始有多少現金": 0 for an empty (or blank) answer, halves rounded to even; the
// refusal when the text is no amount or its whole value does not fit 32 bits (the question is
// then asked again).
std::variant<qint32, Message> readStartingCash(const QString& answer);
