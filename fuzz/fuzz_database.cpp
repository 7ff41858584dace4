// Opening a database folder whose files hold any bytes, a save cut short included: either the
// tables are replaced by what the files hold and a save writes them back unchanged, or a
// refusal says why and the open tables stay as they were.
#include "platform/safefile.h"
#include "store/Module1.h"
#include "store/database.h"
#include "support.h"

#include <QtEndian>

namespace {

// Layout of an input: flags, the starting-cash answer's length, the accounts file's length
// (16 bits), then the answer, the accounts file and the entries file.
enum Flags : uint8_t {
  kHaveAccounts = 1,
  kHaveEntries = 2,
  kMarker = 4,
  kNewAccounts = 8,
  kNewEntries = 16,
};

QByteArray take(const uint8_t*& data, size_t& size, size_t count) {
  count = std::min(count, size);
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
  data += count;
  size -= count;
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const uint8_t flags = data[0];
  const size_t answerLength = data[1] % 16;
  const size_t accountsLength = qFromLittleEndian<quint16>(data + 2);
  data += 4;
  size -= 4;
  const QByteArray answer = take(data, size, answerLength);
  const QByteArray accounts = take(data, size, accountsLength);
  const QByteArray entries = take(data, size, size);

  static fuzz::Answers dialogs;
  static Module1 store(fuzz::scratch(), dialogs);
  store.UserName = QStringLiteral("Test");
  store.DataBaseName = QStringLiteral("2003-11");
  const QString folder = store.databaseFolder();
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  if (flags & kHaveAccounts) fuzz::put(folder + "/Accounts.dat", accounts);
  if (flags & kHaveEntries) fuzz::put(folder + "/Main.dat", entries);
  if (flags & kNewAccounts) fuzz::put(folder + "/Accounts.dat.new", entries);
  if (flags & kNewEntries) fuzz::put(folder + "/Main.dat.new", accounts);
  if (flags & kMarker) fuzz::put(folder + "/Varnix.saving", answer + "\r\nMain.dat\r\n");
  dialogs.clear();
  // The starting cash of a new database, as the window reads the answer to its question.
  const auto cash = readStartingCash(QString::fromUtf8(answer));
  if (const Message* refused = std::get_if<Message>(&cash)) {
    fuzz::require(!refused->text.isEmpty(), "a refused starting cash says why");
  }
  const qint32 startingCash = std::holds_alternative<qint32>(cash) ? std::get<qint32>(cash) : 0;

  // The open database before: one account and one entry of its own.
  store.AccountTable.clear();
  store.EntryTable.clear();
  store.AccountTable[1] = makeAccount(QStringLiteral("A-舊的"), kAsset);
  store.EntryTable[1] = makeEntry("2003/01/01", "A-舊的", "A-舊的", 1, "舊");
  store.AccountCount = 2;
  store.EntryCount = 2;
  const QByteArray accountsBefore = accountsFileBytes(store.AccountTable, store.AccountCount);
  const QByteArray entriesBefore = entriesFileBytes(store.EntryTable, store.EntryCount);

  if (const auto refusal = LoadDatabase(store, startingCash)) {
    fuzz::require(!refusal->text.isEmpty(), "a refusal says why");
    fuzz::require(accountsFileBytes(store.AccountTable, store.AccountCount) == accountsBefore &&
                      entriesFileBytes(store.EntryTable, store.EntryCount) == entriesBefore,
                  "a refused opening keeps the open tables");
    return 0;
  }
  fuzz::require(store.AccountCount >= 2 && store.AccountCount <= kMaxAccounts + 1, "accounts");
  fuzz::require(store.EntryCount >= 1 && store.EntryCount <= kMaxEntries + 1, "entries");
  const QByteArray accountsRead = accountsFileBytes(store.AccountTable, store.AccountCount);
  const QByteArray entriesRead = entriesFileBytes(store.EntryTable, store.EntryCount);
  fuzz::require(SaveDatabase(store).saved(), "the opened database saves");
  fuzz::require(LoadDatabase(store) == std::nullopt, "the saved database opens");
  fuzz::require(QDir(folder).entryList(QDir::Files).size() == 2, "only the two files remain");
  // Text read from foreign bytes settles at the first save; amounts and kinds never change.
  for (int slot = 1; slot < store.EntryCount; ++slot) {
    fuzz::require(store.EntryTable[slot].Amount ==
                      qFromLittleEndian<qint32>(entriesRead.constData() + (slot - 1) * 128 + 50),
                  "amounts survive a save");
  }
  for (int slot = 1; slot < store.AccountCount; ++slot) {
    fuzz::require(store.AccountTable[slot].AccountKind ==
                      qFromLittleEndian<qint16>(accountsRead.constData() + (slot - 1) * 128 + 20),
                  "kinds survive a save");
  }
  return 0;
}
