#include "platform/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/utf16.h>

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace codepage {
namespace {

// "windows-950-2000" is Microsoft's table; ICU's "cp950" is IBM's and maps differently
// (the euro sign, for one).
constexpr const char* kConverterName = "windows-950-2000";

struct ConverterDeleter {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterDeleter>;

ConverterPtr openConverter(bool stopOnUnmappable) {
  UErrorCode status = U_ZERO_ERROR;
  ConverterPtr converter(ucnv_open(kConverterName, &status));
  if (U_FAILURE(status) || !converter) {
    throw std::runtime_error("ICU converter windows-950-2000 is not available");
  }
  if (stopOnUnmappable) {
    status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
  }
  return converter;
}

// One converter per thread and purpose; converters carry state and are not shareable.
UConverter* strictConverter() {
  thread_local ConverterPtr converter = openConverter(true);
  ucnv_reset(converter.get());
  return converter.get();
}

UConverter* lenientConverter() {
  thread_local ConverterPtr converter = openConverter(false);
  ucnv_reset(converter.get());
  return converter.get();
}

bool isAscii(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() >= 0x80) return false;
  }
  return true;
}

bool isAscii(const char* bytes, qsizetype size) {
  for (qsizetype i = 0; i < size; ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

// Asks ICU for the bytes of one code point (one or two UTF-16 units); returns the byte count,
// 0 when the code page has no form for it.
int encodePointSlow(const QChar* units, int count, char out[8]) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t written = ucnv_fromUChars(strictConverter(), out, 8,
                                    reinterpret_cast<const UChar*>(units), count, &status);
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return 0;
  return written;
}

// Asking ICU character by character costs far more than the records themselves, so the answer
// for each character of the Basic Multilingual Plane is remembered once it is known:
// 0 not yet asked, 1 no form, 0x100 | b the single byte b, (lead << 8) | trail a byte pair
// (lead bytes are 0x81 and above).
constexpr quint16 kUnknown = 0;
constexpr quint16 kNoForm = 1;

// Shared by all threads: every thread would remember the same answers, so relaxed atomics
// suffice.
std::array<std::atomic<quint16>, 0x10000> encodeCache;

// Decoding a byte pair whose first byte is 0x80 or above: the character, or kPairSlow when the
// pair is not exactly one valid character (ICU then decides). Made from ICU at build time:
// asking ICU pair by pair cost a fresh process more than reading the whole book.
constexpr char16_t kPairSlow = 0xFFFF;

constexpr char16_t kDecodeTable[0x8000] = {
#include "cp950_decode.inc"
};

// Encodes one code point; returns the byte count, 0 when the code page has no form for it.
int encodePoint(const QChar* units, int count, char out[8]) {
  if (count != 1 || units[0].isSurrogate()) return encodePointSlow(units, count, out);
  const char16_t unit = units[0].unicode();
  if (unit < 0x80) {
    out[0] = static_cast<char>(unit);
    return 1;
  }
  quint16 known = encodeCache[unit].load(std::memory_order_relaxed);
  if (known == kUnknown) {
    char bytes[8];
    const int n = encodePointSlow(units, 1, bytes);
    if (n == 1) {
      known = static_cast<quint16>(0x100 | static_cast<unsigned char>(bytes[0]));
    } else if (n == 2 && static_cast<unsigned char>(bytes[0]) >= 0x81) {
      known = static_cast<quint16>((static_cast<unsigned char>(bytes[0]) << 8) |
                                   static_cast<unsigned char>(bytes[1]));
    } else if (n == 0) {
      known = kNoForm;
    } else {
      std::memcpy(out, bytes, static_cast<size_t>(n));
      return n;  // an unusual form: not remembered
    }
    encodeCache[unit].store(known, std::memory_order_relaxed);
  }
  if (known == kNoForm) return 0;
  if (known < 0x200) {
    out[0] = static_cast<char>(known & 0xFF);
    return 1;
  }
  out[0] = static_cast<char>(known >> 8);
  out[1] = static_cast<char>(known & 0xFF);
  return 2;
}

// The character of the byte pair lead (0x80 or above), trail, or kPairSlow when the pair is not
// exactly one valid character.
char16_t decodePair(unsigned char lead, unsigned char trail) {
  return kDecodeTable[((lead << 8) | trail) - 0x8000];
}

// Decodes through the table; false when some bytes need ICU's handling of
// malformed text.
bool decodeFast(const char* bytes, qsizetype size, QString& out) {
  out.resize(size);
  QChar* write = out.data();
  qsizetype i = 0;
  while (i < size) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      *write++ = QChar(b);
      ++i;
      continue;
    }
    if (b == 0x80 || b == 0xFF || i + 1 >= size) return false;
    const char16_t c = decodePair(b, static_cast<unsigned char>(bytes[i + 1]));
    if (c == kPairSlow) return false;
    *write++ = QChar(c);
    i += 2;
  }
  out.truncate(write - out.constData());
  return true;
}

int unitsOfPointAt(const QString& text, qsizetype i) {
  if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
    return 2;
  }
  return 1;
}

}  // namespace

QByteArray encode(const QString& text, bool* lossy) {
  if (lossy) *lossy = false;
  if (isAscii(text)) return text.toLatin1();
  QByteArray out;
  out.reserve(text.size() * 2);
  for (qsizetype i = 0; i < text.size();) {
    const int units = unitsOfPointAt(text, i);
    char buffer[8];
    const int bytes = encodePoint(text.constData() + i, units, buffer);
    if (bytes == 0) {
      out.append('?');
      if (lossy) *lossy = true;
    } else {
      out.append(buffer, bytes);
    }
    i += units;
  }
  return out;
}

QString decode(const char* bytes, qsizetype size) {
  if (size <= 0) return {};
  if (isAscii(bytes, size)) return QString::fromLatin1(bytes, size);
  QString out;
  if (decodeFast(bytes, size, out)) return out;
  out = QString(size, Qt::Uninitialized);
  UErrorCode status = U_ZERO_ERROR;
  const int32_t written =
      ucnv_toUChars(lenientConverter(), reinterpret_cast<UChar*>(out.data()),
                    static_cast<int32_t>(out.size()), bytes, static_cast<int32_t>(size), &status);
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
  out.truncate(written);
  return out;
}

QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }

QString firstUnencodable(const QString& text) {
  if (isAscii(text)) return {};
  for (qsizetype i = 0; i < text.size();) {
    const int units = unitsOfPointAt(text, i);
    char buffer[8];
    if (encodePoint(text.constData() + i, units, buffer) == 0) return text.mid(i, units);
    i += units;
  }
  return {};
}

bool canEncode(const QString& text) { return firstUnencodable(text).isEmpty(); }

QString fitToBytes(const QString& text, qsizetype maxBytes) {
  if (isAscii(text)) return text.left(maxBytes);
  qsizetype used = 0;
  for (qsizetype i = 0; i < text.size();) {
    const int units = unitsOfPointAt(text, i);
    char buffer[8];
    int bytes = encodePoint(text.constData() + i, units, buffer);
    if (bytes == 0) bytes = 1;  // written as "?"
    if (used + bytes > maxBytes) return text.left(i);
    used += bytes;
    i += units;
  }
  return text;
}

QString fixedField(const QString& text, qsizetype width) {
  QString cut = fitToBytes(text, width);
  if (cut.size() < width) cut.append(QString(width - cut.size(), QLatin1Char(' ')));
  return cut;
}

void writeField(char* dest, const QString& text, qsizetype width) {
  qsizetype used = 0;
  for (qsizetype i = 0; i < text.size();) {
    const char16_t unit = text.at(i).unicode();
    if (unit < 0x80) {
      if (used + 1 > width) break;
      dest[used++] = static_cast<char>(unit);
      ++i;
      continue;
    }
    const int units = unitsOfPointAt(text, i);
    char buffer[8];
    int n = encodePoint(text.constData() + i, units, buffer);
    if (n == 0) {
      buffer[0] = '?';
      n = 1;
    }
    if (used + n > width) break;  // never half a character
    std::memcpy(dest + used, buffer, static_cast<size_t>(n));
    used += n;
    i += units;
  }
  if (used < width) std::memset(dest + used, ' ', static_cast<size_t>(width - used));
}

QByteArray fieldBytes(const QString& text, qsizetype width) {
  QByteArray bytes(width, Qt::Uninitialized);
  writeField(bytes.data(), text, width);
  return bytes;
}

QString fieldFromBytes(const char* bytes, qsizetype width) {
  QString text(width, Qt::Uninitialized);
  QChar* write = text.data();
  qsizetype i = 0;
  while (i < width) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      *write++ = QChar(b);
      ++i;
      continue;
    }
    const char16_t c = b == 0x80 || b == 0xFF || i + 1 >= width
                           ? kPairSlow
                           : decodePair(b, static_cast<unsigned char>(bytes[i + 1]));
    if (c == kPairSlow) {
      // Bytes that are no character: ICU decides what they become.
      text = decode(bytes, width);
      if (text.size() < width) text.append(QString(width - text.size(), QLatin1Char(' ')));
      return text;
    }
    *write++ = QChar(c);
    i += 2;
  }
  const QChar* end = text.constData() + width;
  while (write != end) *write++ = QLatin1Char(' ');
  return text;
}

}  // namespace codepage
