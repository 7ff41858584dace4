// The record readers over any bytes: no read beyond the data, a reason for every refusal, and
// what was read survives a write and a second read unchanged.
#include "store/database.h"
#include "support.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool accounts = data[0] & 1;
  // A copy of exactly the bytes, so that the sanitizer sees every read beyond them.
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

  if (accounts) {
    auto table = std::make_unique<store::AccountTableType>();
    const auto read = store::readAccounts(bytes, *table);
    if (const QString* error = std::get_if<QString>(&read)) {
      fuzz::require(!error->isEmpty(), "a refusal says why");
      return 0;
    }
    const int count = std::get<int>(read);
    fuzz::require(count >= 2 && count <= store::kMaxAccounts + 1, "account count in range");
    // Foreign bytes become replacement characters and then "?": one round settles the text.
    const QByteArray first = store::accountsFileBytes(*table, count);
    auto again = std::make_unique<store::AccountTableType>();
    fuzz::require(std::get<int>(store::readAccounts(first, *again)) == count,
                  "same count after a write");
    const QByteArray second = store::accountsFileBytes(*again, count);
    auto third = std::make_unique<store::AccountTableType>();
    fuzz::require(std::get<int>(store::readAccounts(second, *third)) == count, "same count twice");
    fuzz::require(store::accountsFileBytes(*third, count) == second,
                  "accounts settle after one round");
    fuzz::require(first.size() == (count - 2) * store::kRecordLength + store::kAccountDataBytes,
                  "file length");
  } else {
    auto table = std::make_unique<store::EntryTableType>();
    const auto read = store::readEntries(bytes, *table);
    if (const QString* error = std::get_if<QString>(&read)) {
      fuzz::require(!error->isEmpty(), "a refusal says why");
      return 0;
    }
    const int count = std::get<int>(read);
    fuzz::require(count >= 1 && count <= store::kMaxEntries + 1, "entry count in range");
    const QByteArray first = store::entriesFileBytes(*table, count);
    fuzz::require(
        first.size() ==
            (count <= 1 ? 0 : (count - 2) * store::kRecordLength + store::kEntryDataBytes),
        "file length");
    auto again = std::make_unique<store::EntryTableType>();
    fuzz::require(std::get<int>(store::readEntries(first, *again)) == count,
                  "same count after a write");
    const QByteArray second = store::entriesFileBytes(*again, count);
    auto third = std::make_unique<store::EntryTableType>();
    fuzz::require(std::get<int>(store::readEntries(second, *third)) == count, "same count twice");
    fuzz::require(store::entriesFileBytes(*third, count) == second,
                  "entries settle after one round");
    for (int slot = 1; slot < count; ++slot) {
      fuzz::require((*table)[slot].Amount == (*again)[slot].Amount, "amounts survive a write");
    }
  }
  return 0;
}
