// Opening a database folder whose files hold any bytes, a save cut short included: either the
// tables are replaced by what the files hold and a save writes them back unchanged, or a
// refusal says why and the open tables stay as they were.
#include "book/book.h"
#include "book/workspace.h"
#include "platform/safefile.h"
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

  static book::Workspace store(fuzz::scratch());
  store.user().setUserName(QStringLiteral("Test"));
  store.user().setDatabaseName(QStringLiteral("2003-11"));
  const QString folder = store.user().databaseFolder();
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  if (flags & kHaveAccounts) fuzz::put(folder + "/Accounts.dat", accounts);
  if (flags & kHaveEntries) fuzz::put(folder + "/Main.dat", entries);
  if (flags & kNewAccounts) fuzz::put(folder + "/Accounts.dat.new", entries);
  if (flags & kNewEntries) fuzz::put(folder + "/Main.dat.new", accounts);
  if (flags & kMarker) fuzz::put(folder + "/Varnix.saving", answer + "\r\nMain.dat\r\n");
  // The starting cash of a new database, as the window reads the answer to its question.
  const auto cash = store::readStartingCash(QString::fromUtf8(answer));
  if (const Message* refused = std::get_if<Message>(&cash)) {
    fuzz::require(!refused->text.isEmpty(), "a refused starting cash says why");
  }
  const qint32 startingCash = std::holds_alternative<qint32>(cash) ? std::get<qint32>(cash) : 0;

  // The open database before: one account and one entry of its own.
  store.tables().accounts.clear();
  store.tables().entries.clear();
  store.tables().accounts[1] = store::makeAccount(QStringLiteral("A-舊的"), store::kAsset);
  store.tables().entries[1] = store::makeEntry("2003/01/01", "A-舊的", "A-舊的", 1, "舊");
  store.tables().accountCount = 2;
  store.tables().entryCount = 2;
  const QByteArray accountsBefore =
      store::accountsFileBytes(store.tables().accounts, store.tables().accountCount);
  const QByteArray entriesBefore =
      store::entriesFileBytes(store.tables().entries, store.tables().entryCount);

  if (const auto refusal = book::open(store, startingCash)) {
    fuzz::require(!refusal->text.isEmpty(), "a refusal says why");
    fuzz::require(store::accountsFileBytes(store.tables().accounts, store.tables().accountCount) ==
                          accountsBefore &&
                      store::entriesFileBytes(store.tables().entries, store.tables().entryCount) ==
                          entriesBefore,
                  "a refused opening keeps the open tables");
    return 0;
  }
  fuzz::require(
      store.tables().accountCount >= 2 && store.tables().accountCount <= store::kMaxAccounts + 1,
      "accounts");
  fuzz::require(
      store.tables().entryCount >= 1 && store.tables().entryCount <= store::kMaxEntries + 1,
      "entries");
  const QByteArray accountsRead =
      store::accountsFileBytes(store.tables().accounts, store.tables().accountCount);
  const QByteArray entriesRead =
      store::entriesFileBytes(store.tables().entries, store.tables().entryCount);
  fuzz::require(book::save(store).saved(), "the opened database saves");
  fuzz::require(book::open(store) == std::nullopt, "the saved database opens");
  fuzz::require(QDir(folder).entryList(QDir::Files).size() == 2, "only the two files remain");
  // Text read from foreign bytes settles at the first save; amounts and kinds never change.
  for (int slot = 1; slot < store.tables().entryCount; ++slot) {
    fuzz::require(store.tables().entries[slot].Amount ==
                      qFromLittleEndian<qint32>(entriesRead.constData() + (slot - 1) * 128 + 50),
                  "amounts survive a save");
  }
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    fuzz::require(store.tables().accounts[slot].AccountKind ==
                      qFromLittleEndian<qint16>(accountsRead.constData() + (slot - 1) * 128 + 20),
                  "kinds survive a save");
  }
  return 0;
}
