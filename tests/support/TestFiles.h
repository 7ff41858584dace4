#pragma once

#include "platform/dialogs.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

// Bytes written as hex digits (blanks between them are skipped), and `n` blanks.
inline QByteArray hex(const char* digits) { return QByteArray::fromHex(digits); }
inline QByteArray blanks(int n) { return QByteArray(n, ' '); }

// A file's bytes as the tests compare them; "<missing>" when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Writes `bytes` to `path`, making the folders on the way.
inline void putFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// A warning ("注意") whose text begins with `start`, as the windows show refusals and notices.
inline ::testing::AssertionResult warns(const std::optional<Message>& message,
                                        const QString& start) {
  if (message && message->title == QStringLiteral("注意") && message->text.startsWith(start))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << (message ? message->text.toStdString() : "no message");
}
