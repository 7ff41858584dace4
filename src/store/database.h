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

// True when the database folder holds no "Main.dat" yet: opening it makes a new database, whose
// opening entry needs the starting cash.
bool needsStartingCash(const QString& folder);

// Loads the open database (Module1::databaseFolder()) into the tables. A new, empty folder gets
// its cash and equity accounts and the opening entry of `startingCash` (ignored when the
// database has its entries already). On any failure nothing changes: neither the files nor the
// tables in memory; the refusal to show is returned. Sets the account and entry count panels on
// success.
std::optional<Message> LoadDatabase(Module1& store, qint32 startingCash = 0);

// Writes both files of the open database from the tables, each safely (a temporary renamed
// over the old file). The refusal to show when a file could not be written.
std::optional<Message> SaveDatabase(Module1& store);

// The answer to "一開始有多少現金": 0 for an empty (or blank) answer, halves rounded to even; the
// refusal when the text is no amount or its whole value does not fit 32 bits (the question is
// then asked again).
std::variant<qint32, Message> readStartingCash(const QString& answer);
