#pragma once

#include "platform/dialogs.h"
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

// Loads the open database (Module1::databaseFolder()) into the tables. A new, empty folder gets
// its cash and equity accounts and the opening entry, asking for the starting cash. On any
// failure nothing changes: neither the files nor the tables in memory; the refusal to show is
// returned. Sets the account and entry count panels on success.
std::optional<Message> LoadDatabase(Module1& store);

// Reads a book folder's two files into the store's tables without writing anything: no new
// book is made, a save cut short is read as LoadDatabase would complete it but left on disk as
// it is. The counts are set; the panels are not. The refusal in words leaves the tables as they
// were. Balances need no memos: without them, they stay empty and a book reads quicker.
enum class BookMemos { Read, Skip };
std::optional<QString> ReadBookFolder(const QString& folder, Module1& store,
                                      BookMemos memos = BookMemos::Read);

// Writes both files of the open database from the tables, each safely (a temporary renamed
// over the old file). The refusal to show when a file could not be written.
std::optional<Message> SaveDatabase(Module1& store);

// The starting-cash answer: 0 for an empty (or blank) answer, halves rounded to even; nothing
// when the text is no amount or its whole value does not fit 32 bits.
std::optional<qint32> startingCash(const QString& answer);
