#pragma once

#include <QByteArray>
#include <QString>

// Text in the files is code page 950 (Big5, the Windows table). These helpers are the only
// place that converts; everything else works with QString.
namespace codepage {

// QString -> code page 950 bytes. Characters the code page cannot hold become "?" and set
// *lossy when given.
QByteArray encode(const QString& text, bool* lossy = nullptr);

// Code page 950 bytes -> QString. Bytes that are no valid character become U+FFFD.
QString decode(const QByteArray& bytes);
QString decode(const char* bytes, qsizetype size);

// True when every character of the text has a code page 950 form.
bool canEncode(const QString& text);

// The first character of the text that code page 950 cannot hold, or an empty string.
QString firstUnencodable(const QString& text);

// The longest head of the text whose code page 950 form fits into maxBytes, never splitting
// a two-byte character.
QString fitToBytes(const QString& text, qsizetype maxBytes);

// The value of a fixed-width field of `width` characters as it lives in memory: cut to what
// `width` bytes hold on disk, then padded with blanks to `width` characters. So what a window
// shows is exactly what the file keeps.
QString fixedField(const QString& text, qsizetype width);

// The bytes of a fixed-width field on disk: exactly `width` bytes, blank-padded.
QByteArray fieldBytes(const QString& text, qsizetype width);
// The same written to dest, which has room for `width` bytes.
void writeField(char* dest, const QString& text, qsizetype width);

// A field read from disk: `width` bytes back to text padded with blanks to `width` characters.
QString fieldFromBytes(const char* bytes, qsizetype width);

}  // namespace codepage
