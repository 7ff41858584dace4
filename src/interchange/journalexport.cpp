#include "interchange/journalexport.h"

#include "book/workspace.h"
#include "platform/codepage.h"
#include "platform/safefile.h"
#include "store/ledger.h"

#include <QDir>
#include <QFileInfo>

namespace interchange {

namespace {

const QLatin1String kLineEnd("\r\n");

bool hasLineBreak(const QString& text) {
  return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// Number of characters as the file will hold them: a pair of surrogates is one character
// (written as one "?").
qsizetype characters(const QString& text) {
  qsizetype count = text.size();
  for (qsizetype i = 1; i < text.size(); ++i) {
    if (text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate()) --count;
  }
  return count;
}

void appendPadded(QString& line, const QString& text, qsizetype width) {
  line += text;
  const qsizetype used = characters(text);
  if (used < width) line += QString(width - used, QLatin1Char(' '));
}

// CR LF, a lone CR and a lone LF each become one blank.
QString onOneLine(const QString& text) {
  if (!hasLineBreak(text)) return text;
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c == QLatin1Char('\r')) {
      if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
      out += QLatin1Char(' ');
    } else if (c == QLatin1Char('\n')) {
      out += QLatin1Char(' ');
    } else {
      out += c;
    }
  }
  return out;
}

void appendCsvField(QString& line, const QString& field) {
  if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) &&
      !hasLineBreak(field)) {
    line += field;
    return;
  }
  line += QLatin1Char('"');
  for (QChar c : field) {
    if (c == QLatin1Char('"')) line += QLatin1Char('"');
    line += c;
  }
  line += QLatin1Char('"');
}

QString csvTextOf(const std::vector<JournalRow>& rows) {
  QString text;
  text.reserve(static_cast<qsizetype>(rows.size()) * 96);
  for (const JournalRow& row : rows) {
    appendCsvField(text, row.date);
    text += QLatin1Char(',');
    appendCsvField(text, store::trimTrailingSpaces(row.increase));
    text += QLatin1Char(',');
    appendCsvField(text, store::trimTrailingSpaces(row.decrease));
    text += QLatin1Char(',');
    appendCsvField(text, row.amount);
    text += QLatin1Char(',');
    appendCsvField(text, store::trimTrailingSpaces(row.memo));
    text += kLineEnd;
  }
  return text;
}

QString plainText(const std::vector<JournalRow>& rows) {
  QString text;
  text.reserve(static_cast<qsizetype>(rows.size()) * 128);
  for (const JournalRow& row : rows) {
    appendPadded(text, onOneLine(row.date), store::kDateWidth);
    text += QLatin1Char(' ');
    // The names padded as stored; trimmed first so that a name whose stored form counts
    // a character the code page lacks as two still fills exactly 20 columns.
    appendPadded(text, store::trimTrailingSpaces(onOneLine(row.increase)), store::kNameWidth);
    text += QLatin1Char(' ');
    appendPadded(text, store::trimTrailingSpaces(onOneLine(row.decrease)), store::kNameWidth);
    text += QLatin1Char(' ');
    appendPadded(text, row.amount, 12);
    text += QLatin1Char(' ');
    text += store::trimTrailingSpaces(onOneLine(row.memo));
    text += kLineEnd;
  }
  return text;
}

}  // namespace

QByteArray csvBytes(const std::vector<JournalRow>& rows) {
  return codepage::encode(csvTextOf(rows));
}

QByteArray textBytes(const std::vector<JournalRow>& rows) {
  return codepage::encode(plainText(rows));
}

QString exportPath(const book::Workspace& store, ExportKind kind) {
  return kind == ExportKind::Csv
             ? store.user().csvFolder() + store.user().databaseName() + QStringLiteral(".csv")
             : store.user().txtFolder() + store.user().databaseName() + QStringLiteral(".txt");
}

Message exportJournal(const book::Workspace& store, const std::vector<JournalRow>& rows,
                      ExportKind kind) {
  const QString fileName =
      store.user().databaseName() +
      (kind == ExportKind::Csv ? QStringLiteral(".csv檔") : QStringLiteral(".txt檔"));
  const QString folder =
      kind == ExportKind::Csv ? store.user().csvFolder() : store.user().txtFolder();
  const QFileInfo folderInfo(folder);
  if (!folderInfo.isDir() && !QDir().mkpath(folder)) {
    return refusal(QStringLiteral("沒有存成%1：\n無法建立資料夾「%2」。")
                       .arg(fileName, QDir::toNativeSeparators(folder)));
  }
  const QByteArray bytes = kind == ExportKind::Csv ? csvBytes(rows) : textBytes(rows);
  if (auto reason = safefile::write(exportPath(store, kind), bytes)) {
    return refusal(QStringLiteral("沒有存成%1：\n%2").arg(fileName, *reason));
  }
  return completion(QStringLiteral("已存成") + fileName);
}

}  // namespace interchange
