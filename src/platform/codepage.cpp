#include "platform/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

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

// Encodes one code point (one or two UTF-16 units); returns the byte count, 0 when the code
// page has no form for it.
int encodePoint(const QChar* units, int count, char out[8]) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t written = ucnv_fromUChars(strictConverter(), out, 8,
                                    reinterpret_cast<const UChar*>(units), count, &status);
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return 0;
  return written;
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
  QString out(size, Qt::Uninitialized);
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

qsizetype byteLength(const QString& text) { return encode(text).size(); }

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

QByteArray fieldBytes(const QString& text, qsizetype width) {
  QByteArray bytes = encode(fitToBytes(text, width));
  if (bytes.size() < width) bytes.append(QByteArray(width - bytes.size(), ' '));
  return bytes;
}

QString fieldFromBytes(const char* bytes, qsizetype width) {
  QString text = decode(bytes, width);
  if (text.size() < width) text.append(QString(width - text.size(), QLatin1Char(' ')));
  return text;
}

}  // namespace codepage
