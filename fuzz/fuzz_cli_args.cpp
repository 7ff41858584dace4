// varnix-cli's arguments: any list (NUL-separated in the input) is a request or a usage error,
// never a crash; a request always names a book.
#include "cli/commands.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QStringList args;
  for (const QByteArray& part : bytes.split('\0')) args << QString::fromUtf8(part);
  if (bytes.isEmpty()) args.clear();
  const auto parsed = cli::parseArguments(args);
  if (const auto* error = std::get_if<cli::UsageError>(&parsed)) {
    fuzz::require(!error->text.isEmpty(), "a usage error says why");
    return 0;
  }
  const cli::Request& request = std::get<cli::Request>(parsed);
  const bool needsBook =
      request.command != cli::Command::Help && request.command != cli::Command::Version;
  fuzz::require(!needsBook || !request.book.isEmpty(), "a command names its book");
  fuzz::require(request.date.isEmpty() || request.date.size() == 10, "a date is yyyy/mm/dd");
  return 0;
}
