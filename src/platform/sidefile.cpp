#include "platform/sidefile.h"

#include "platform/safefile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <QUuid>

#include <map>

namespace sidefile {
namespace {

const QString kTimeForm = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'");
const QString kLive = QStringLiteral("live");
const QString kDeleted = QStringLiteral("deleted");

bool isIdChar(QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || c == u'-'; }

bool isId(const QString& text) {
  if (text.isEmpty() || text.size() > 64) return false;
  for (QChar c : text) {
    if (!isIdChar(c)) return false;
  }
  return true;
}

bool isKey(const QString& text) {
  if (text.isEmpty() || text.size() > 64 || !(text[0] >= u'a' && text[0] <= u'z')) return false;
  for (QChar c : text) {
    if (!isIdChar(c) && c != u'_') return false;
  }
  return true;
}

bool isControl(char16_t c) { return c < 0x20 || c == 0x7f; }

QString timeText(const QDateTime& time) { return time.toUTC().toString(kTimeForm); }

// Only the exact form is a time: "2026-1-2T..." or a zone other than Z is a damaged line. Read
// digit by digit: a long-kept file holds thousands of these, and this runs at every opening.
std::optional<QDateTime> parseTime(const QString& text) {
  static constexpr char kForm[] = "0000-00-00T00:00:00.000Z";
  if (text.size() != qsizetype(sizeof kForm - 1)) return std::nullopt;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (kForm[i] == '0' ? (c < u'0' || c > u'9') : c != char16_t(kForm[i])) return std::nullopt;
  }
  const auto number = [&text](qsizetype from, qsizetype length) {
    int value = 0;
    for (qsizetype i = from; i < from + length; ++i)
      value = value * 10 + (text[i].unicode() - u'0');
    return value;
  };
  const QDate date(number(0, 4), number(5, 2), number(8, 2));
  const QTime time(number(11, 2), number(14, 2), number(17, 2), number(20, 3));
  if (!date.isValid() || !time.isValid()) return std::nullopt;
  return QDateTime(date, time, Qt::UTC);
}

QString escaped(const QString& value) {
  QString out;
  out.reserve(value.size());
  for (QChar c : value) {
    switch (c.unicode()) {
      case u'\\':
        out += QStringLiteral("\\\\");
        break;
      case u'\t':
        out += QStringLiteral("\\t");
        break;
      case u'\n':
        out += QStringLiteral("\\n");
        break;
      case u'\r':
        out += QStringLiteral("\\r");
        break;
      default:
        if (isControl(c.unicode())) {
          out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
          out += c;
        }
    }
  }
  return out;
}

int hexDigit(QChar c) {
  if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
  if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
  return -1;
}

std::optional<QString> unescaped(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u'\\') {
      out += text[i];
      continue;
    }
    if (++i >= text.size()) return std::nullopt;
    switch (text[i].unicode()) {
      case u'\\':
        out += u'\\';
        break;
      case u't':
        out += u'\t';
        break;
      case u'n':
        out += u'\n';
        break;
      case u'r':
        out += u'\r';
        break;
      case u'x': {
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = hexDigit(text[i + 1]), low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0 || !isControl(char16_t(high * 16 + low))) return std::nullopt;
        out += QChar(high * 16 + low);
        i += 2;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return out;
}

QString recordLine(const Record& record) {
  QString line =
      record.id + u'\t' + timeText(record.changed) + u'\t' + (record.deleted ? kDeleted : kLive);
  for (const auto& [key, value] : record.fields) line += u'\t' + key + u'=' + escaped(value);
  return line;
}

std::optional<Record> parseRecord(const QString& line) {
  const QStringList parts = line.split(u'\t');
  if (parts.size() < 3 || !isId(parts[0])) return std::nullopt;
  Record record;
  record.id = parts[0];
  const auto changed = parseTime(parts[1]);
  if (!changed) return std::nullopt;
  record.changed = *changed;
  if (parts[2] != kLive && parts[2] != kDeleted) return std::nullopt;
  record.deleted = parts[2] == kDeleted;
  record.fields.reserve(parts.size() - 3);
  for (qsizetype i = 3; i < parts.size(); ++i) {
    const qsizetype equals = parts[i].indexOf(u'=');
    if (equals < 0) return std::nullopt;
    const QString key = parts[i].left(equals);
    const auto value = unescaped(parts[i].mid(equals + 1));
    if (!isKey(key) || record.field(key) || !value) return std::nullopt;
    record.fields.emplace_back(key, *value);
  }
  return record;
}

// Reads the header's version: decimal, no leading zero, at most four digits.
std::optional<int> parseVersion(const QByteArray& text) {
  if (text.isEmpty() || text.size() > 4 || text[0] == '0') return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return text.toInt();
}

}  // namespace

std::optional<QString> Record::field(const QString& key) const {
  for (const auto& [name, value] : fields) {
    if (name == key) return value;
  }
  return std::nullopt;
}

void Record::set(const QString& key, const QString& value) {
  for (auto& [name, old] : fields) {
    if (name == key) {
      old = value;
      return;
    }
  }
  fields.emplace_back(key, value);
}

QString newId() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

QDateTime now() {
  const QDateTime time = QDateTime::currentDateTimeUtc();
  return QDateTime::fromMSecsSinceEpoch(time.toMSecsSinceEpoch(), Qt::UTC);
}

std::variant<Contents, QString> parse(const QByteArray& bytes, const QString& kind,
                                      int newestVersion) {
  if (bytes.isEmpty()) return QStringLiteral("檔案是空的");
  if (bytes.size() > kMaxFileBytes) return QStringLiteral("檔案過大");
  const QList<QByteArray> lines = bytes.split('\n');
  // The first line is checked before anything is decoded: a foreign file is named as such.
  const QByteArray& header = lines.front();
  const qsizetype blank = header.indexOf(' ');
  if (blank < 0 || header.first(blank) != kind.toUtf8()) {
    return QStringLiteral("這不是「%1」檔案").arg(kind);
  }
  const auto version = parseVersion(header.sliced(blank + 1));
  if (!version) return QStringLiteral("第 1 行已損壞");
  if (*version > newestVersion) {
    return QStringLiteral("檔案由較新版本的程式寫成（第 %1 版），請先更新程式").arg(*version);
  }
  // A file cut short in the middle of writing has no end on its last line.
  if (!bytes.endsWith('\n')) return QStringLiteral("檔案結尾不完整，可能在寫入時中斷");
  Contents contents;
  contents.version = *version;
  QSet<QString> ids;
  for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
    const QByteArray& raw = lines[i];
    const int number = int(i + 1);
    if (raw.size() > kMaxLineBytes) return QStringLiteral("第 %1 行過長").arg(number);
    for (char c : raw) {
      if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) {
        return QStringLiteral("第 %1 行已損壞").arg(number);
      }
    }
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString line = decoder.decode(raw);
    if (decoder.hasError()) return QStringLiteral("第 %1 行含有無法辨識的位元組").arg(number);
    auto record = parseRecord(line);
    if (!record) return QStringLiteral("第 %1 行已損壞").arg(number);
    if (ids.contains(record->id)) {
      return QStringLiteral("第 %1 行的代號「%2」與前面重複").arg(number).arg(record->id);
    }
    ids.insert(record->id);
    contents.records.push_back(std::move(*record));
  }
  return contents;
}

std::variant<QByteArray, QString> serialize(const QString& kind, int version,
                                            const std::vector<Record>& records) {
  QByteArray bytes = kind.toUtf8() + ' ' + QByteArray::number(version) + '\n';
  QSet<QString> ids;
  for (const Record& record : records) {
    if (!isId(record.id)) return QStringLiteral("記錄的代號「%1」不合格式").arg(record.id);
    if (ids.contains(record.id)) return QStringLiteral("記錄的代號「%1」重複").arg(record.id);
    ids.insert(record.id);
    if (!parseTime(timeText(record.changed))) {
      return QStringLiteral("記錄「%1」沒有正確的修改時間").arg(record.id);
    }
    QSet<QString> keys;
    for (const auto& [key, value] : record.fields) {
      if (!isKey(key) || keys.contains(key)) {
        return QStringLiteral("記錄「%1」的欄位「%2」不合格式").arg(record.id, key);
      }
      keys.insert(key);
    }
    const QByteArray line = recordLine(record).toUtf8();
    if (line.size() > kMaxLineBytes) return QStringLiteral("記錄「%1」過長").arg(record.id);
    bytes += line + '\n';
  }
  if (bytes.size() > kMaxFileBytes) return QStringLiteral("檔案過大");
  return bytes;
}

std::variant<Contents, QString> read(const QString& path, const QString& kind, int newestVersion) {
  const QString shown = QDir::toNativeSeparators(path);
  if (!QFileInfo::exists(path)) return Contents{newestVersion, {}};
  if (QFileInfo(path).size() > kMaxFileBytes) {
    return QStringLiteral("無法讀取「%1」：檔案過大").arg(shown);
  }
  const auto bytes = safefile::read(path);
  if (!bytes) return QStringLiteral("無法讀取「%1」").arg(shown);
  auto contents = parse(*bytes, kind, newestVersion);
  if (auto* reason = std::get_if<QString>(&contents)) {
    return QStringLiteral("無法讀取「%1」：%2").arg(shown, *reason);
  }
  return contents;
}

std::optional<QString> write(const QString& path, const QString& kind, int version,
                             const std::vector<Record>& records) {
  auto bytes = serialize(kind, version, records);
  if (auto* reason = std::get_if<QString>(&bytes)) {
    return QStringLiteral("無法寫入「%1」：%2").arg(QDir::toNativeSeparators(path), *reason);
  }
  return safefile::write(path, std::get<QByteArray>(bytes));
}

std::vector<Record> merge(const std::vector<Record>& ours, const std::vector<Record>& theirs) {
  const auto later = [](const Record& a, const Record& b) -> const Record& {
    const qint64 timeA = a.changed.toMSecsSinceEpoch(), timeB = b.changed.toMSecsSinceEpoch();
    if (timeA != timeB) return timeA > timeB ? a : b;
    if (a.deleted != b.deleted) return a.deleted ? a : b;
    return recordLine(a) >= recordLine(b) ? a : b;
  };
  std::map<QString, Record> byId;
  for (const auto* copy : {&ours, &theirs}) {
    for (const Record& record : *copy) {
      auto [place, fresh] = byId.try_emplace(record.id, record);
      if (!fresh) place->second = later(place->second, record);
    }
  }
  std::vector<Record> merged;
  merged.reserve(byId.size());
  for (auto& [id, record] : byId) merged.push_back(std::move(record));
  return merged;
}

}  // namespace sidefile
