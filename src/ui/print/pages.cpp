#include "ui/print/pages.h"

#include "book/workspace.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/safefile.h"
#include "platform/widgets/fonts.h"
#include "ui/print/loadable.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>

#include <algorithm>
#include <numeric>

namespace printing {

namespace {

constexpr int kWrap = Qt::TextWrapAnywhere;
// Charts are painted no finer than this: enough for paper, and a 1200 dpi printer does not
// need a picture of a hundred megabytes.
constexpr double kPictureDpi = 300;

// Columns of a code page 950 text: two for a character stored in two bytes.
int gridWidth(const QString& character) {
  if (character.size() == 1 && character[0].unicode() < 0x80) return 1;
  return std::clamp(static_cast<int>(codepage::encode(character).size()), 1, 2);
}

// Lays the blocks out page by page. The first pass only counts the pages, so that the second
// can say "of N" on each of them.
class Layout {
 public:
  Layout(const Document& document, QPainter& painter, QPagedPaintDevice& device, int pages,
         bool paint)
      : doc_(document), painter_(painter), device_(device), pages_(pages), paint_(paint) {
    const QRect full = painter.viewport();
    const int margin = full.width() / 16;
    page_ = full.adjusted(margin, margin, -margin, -margin);
    body_ = uiFont(10);
    bold_ = body_;
    bold_.setBold(true);
    painter_.setFont(body_);
    line_ = painter_.fontMetrics().height() * 13 / 10;
    startPage();
  }

  int run() {
    for (const Block& block : doc_.blocks) {
      if (const auto* heading = std::get_if<Heading>(&block)) drawHeading(heading->text);
      if (const auto* table = std::get_if<Table>(&block)) drawTable(*table);
      if (const auto* paragraph = std::get_if<Paragraph>(&block)) drawParagraph(paragraph->text);
      if (const auto* text = std::get_if<FixedText>(&block)) drawFixedText(text->text);
      if (const auto* picture = std::get_if<Picture>(&block)) drawPicture(*picture);
    }
    return pageNumber_;
  }

 private:
  // The height of a text wrapped into `width` in the painter's font.
  int wrappedHeight(const QString& text, int width) {
    if (text.isEmpty()) return painter_.fontMetrics().height();
    return painter_.boundingRect(QRect(0, 0, std::max(width, 1), 1 << 20), kWrap, text).height();
  }

  void startPage() {
    // A block that runs onto a new page goes on in its own font.
    const QFont blockFont = painter_.font();
    if (pageNumber_ > 0 && paint_) device_.newPage();
    ++pageNumber_;
    y_ = page_.top();
    painter_.setFont(bold_);
    const QString date = doc_.date.toString(QStringLiteral("yyyy/MM/dd"));
    const int dateWidth = painter_.fontMetrics().horizontalAdvance(date + QStringLiteral("　"));
    const QString title = doc_.title + QStringLiteral("　") + doc_.bookName;
    // A long book name takes a second line rather than running under the date.
    const QRect titleBox(page_.left(), y_, page_.width() - dateWidth,
                         std::max(line_, wrappedHeight(title, page_.width() - dateWidth)));
    if (paint_) {
      painter_.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter | kWrap, title);
      painter_.setFont(body_);
      painter_.drawText(QRect(page_.left(), y_, page_.width(), line_),
                        Qt::AlignRight | Qt::AlignVCenter, date);
      const int rule = y_ + titleBox.height();
      painter_.drawLine(page_.left(), rule, page_.right(), rule);
      painter_.drawText(QRect(page_.left(), page_.bottom() - line_, page_.width(), line_),
                        Qt::AlignCenter,
                        QStringLiteral("第 %1 頁，共 %2 頁").arg(pageNumber_).arg(pages_));
    }
    painter_.setFont(blockFont);
    y_ += titleBox.height() + line_ / 2;
    top_ = y_;
  }

  int bottom() const { return page_.bottom() - line_ * 3 / 2; }

  void need(int height) {
    if (y_ + height > bottom() && y_ > top_) startPage();
  }

  void drawWrapped(const QString& text, const QFont& font) {
    painter_.setFont(font);
    const int height = std::max(line_, wrappedHeight(text, page_.width()));
    need(height);
    if (paint_) {
      painter_.drawText(QRect(page_.left(), y_, page_.width(), height),
                        Qt::AlignLeft | Qt::AlignVCenter | kWrap, text);
    }
    painter_.setFont(body_);
    y_ += height;
  }

  void drawHeading(const QString& text) {
    need(line_ * 3);
    y_ += line_ / 2;
    QFont big = bold_;
    big.setPointSizeF(body_.pointSizeF() * 1.2);
    drawWrapped(text, big);
  }

  void drawParagraph(const QString& text) {
    drawWrapped(text, body_);
    y_ += line_ / 4;
  }

  struct Columns {
    std::vector<int> x;      // left edges, and the right edge of the last
    std::vector<bool> wrap;  // too narrow for its longest text
    int pad = 0;
  };

  // Each column as wide as its longest text, the room left shared by the widths given; when the
  // page is too narrow for that, the widest columns share what the others leave and wrap.
  Columns columnsOf(const Table& table) {
    const size_t count = static_cast<size_t>(table.headers.size());
    std::vector<int> weights = table.widths;
    weights.resize(count, 1);
    for (int& w : weights) w = std::max(w, 1);
    const QFontMetrics body(body_, &device_);
    const QFontMetrics bold(bold_, &device_);
    Columns columns;
    columns.pad = body.averageCharWidth() / 2;
    std::vector<int> natural(count, 0);
    for (size_t c = 0; c < count; ++c) {
      natural[c] = bold.horizontalAdvance(table.headers[static_cast<qsizetype>(c)]);
      for (const QStringList& row : table.rows) {
        if (static_cast<qsizetype>(c) < row.size())
          natural[c] = std::max(natural[c], body.horizontalAdvance(row[static_cast<qsizetype>(c)]));
      }
      natural[c] += 2 * columns.pad + 1;
    }
    std::vector<int> width(count, 0);
    columns.wrap.assign(count, false);
    const int total = page_.width();
    const int wanted = std::accumulate(natural.begin(), natural.end(), 0);
    if (wanted <= total) {
      const int weightSum = std::accumulate(weights.begin(), weights.end(), 0);
      for (size_t c = 0; c < count; ++c)
        width[c] = natural[c] + static_cast<int>(qint64(total - wanted) * weights[c] / weightSum);
    } else {
      // The widest columns wrap first, until the others fit whole beside them.
      std::vector<size_t> widestFirst(count);
      std::iota(widestFirst.begin(), widestFirst.end(), size_t{0});
      std::stable_sort(widestFirst.begin(), widestFirst.end(),
                       [&](size_t a, size_t b) { return natural[a] > natural[b]; });
      const int narrowest = 2 * columns.pad + 4 * body.height();  // about four characters
      int whole = wanted;
      int wrapping = 0;
      int wrappingWeight = 0;
      for (size_t c : widestFirst) {
        if (whole + wrapping * narrowest <= total) break;
        columns.wrap[c] = true;
        whole -= natural[c];
        wrappingWeight += weights[c];
        ++wrapping;
      }
      const int room = std::max(total - whole, wrapping * narrowest);
      for (size_t c = 0; c < count; ++c) {
        width[c] = columns.wrap[c] ? static_cast<int>(qint64(room) * weights[c] / wrappingWeight)
                                   : natural[c];
      }
    }
    columns.x.push_back(page_.left());
    for (int w : width) columns.x.push_back(columns.x.back() + w);
    return columns;
  }

  int rowHeight(const QStringList& cells, const Columns& columns) {
    const int extra = line_ - painter_.fontMetrics().height();
    int height = line_;
    for (qsizetype c = 0; c < cells.size() && static_cast<size_t>(c) < columns.wrap.size(); ++c) {
      if (!columns.wrap[static_cast<size_t>(c)]) continue;
      const int width = columns.x[static_cast<size_t>(c) + 1] - columns.x[static_cast<size_t>(c)];
      height = std::max(height, wrappedHeight(cells[c], width - 2 * columns.pad) + extra);
    }
    return height;
  }

  void drawRow(const Table& table, const QStringList& cells, const Columns& columns, bool bold) {
    painter_.setFont(bold ? bold_ : body_);
    const int height = rowHeight(cells, columns);
    if (y_ + height > bottom() && y_ > top_) {
      startPage();
      if (!bold) drawRow(table, table.headers, columns, true);
      painter_.setFont(bold ? bold_ : body_);
    }
    if (paint_) {
      const int inset = (line_ - painter_.fontMetrics().height()) / 2;
      for (qsizetype c = 0; c < cells.size() && static_cast<size_t>(c) + 1 < columns.x.size();
           ++c) {
        const size_t at = static_cast<size_t>(c);
        const QRect cell(columns.x[at] + columns.pad, y_ + inset,
                         columns.x[at + 1] - columns.x[at] - 2 * columns.pad, height - inset);
        const bool right = at < table.alignRight.size() && table.alignRight[at];
        painter_.drawText(cell, (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | kWrap,
                          cells[c]);
      }
    }
    y_ += height;
    if (bold && paint_) painter_.drawLine(page_.left(), y_, page_.right(), y_);
    painter_.setFont(body_);
  }

  void drawTable(const Table& table) {
    const Columns columns = columnsOf(table);
    need(line_ * 2);
    drawRow(table, table.headers, columns, true);
    for (const QStringList& row : table.rows) drawRow(table, row, columns, false);
    y_ += line_ / 2;
  }

  // Each character at its grid column, whatever its face's own advance: on paper the fixed
  // faces' Chinese is not always exactly two Latin advances wide, and the amounts would drift.
  void drawFixedText(const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QFont fixed = fixedPitchFont(10);
    painter_.setFont(fixed);
    const qreal half = QFontMetricsF(fixed, &device_).horizontalAdvance(QLatin1Char('0'));
    const int columnsPerLine = std::max(static_cast<int>(page_.width() / half), 2);
    for (const QString& line : plain.split(QLatin1Char('\n'))) {
      need(line_);
      int column = 0;
      for (qsizetype i = 0; i < line.size();) {
        const qsizetype length = line[i].isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        const QString character = line.mid(i, length);
        i += length;
        const int width = gridWidth(character);
        if (column + width > columnsPerLine) {  // a line wider than the page goes on below
          y_ += line_;
          need(line_);
          column = 0;
        }
        if (paint_ && character != QLatin1String(" ")) {
          painter_.drawText(QRectF(page_.left() + column * half, y_, width * half + half, line_),
                            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, character);
        }
        column += width;
      }
      y_ += line_;
    }
    painter_.setFont(body_);
    y_ += line_ / 2;
  }

  void drawPicture(const Picture& picture) {
    if (!picture.paint) return;
    int width = page_.width();
    int height = static_cast<int>(width * std::clamp(picture.aspect, 0.1, 2.0));
    const int room = bottom() - top_;
    if (height > room) {
      width = width * room / height;
      height = room;
    }
    need(height);
    if (paint_) {
      const double dpi = device_.logicalDpiX();
      const double scale = std::min(1.0, kPictureDpi / dpi);
      QImage image(QSize(static_cast<int>(width * scale), static_cast<int>(height * scale)),
                   QImage::Format_RGB32);  // opaque: no mask beside it in the PDF
      // Pixels of 1/96 inch: the size the picture takes on paper, so that its fonts keep their
      // point sizes.
      const QRectF logical(0, 0, width * 96.0 / dpi, height * 96.0 / dpi);
      image.setDevicePixelRatio(image.width() / logical.width());
      image.fill(Qt::white);
      QPainter picturePainter(&image);
      picturePainter.setRenderHint(QPainter::Antialiasing);
      picture.paint(picturePainter, logical);
      picturePainter.end();
      painter_.drawImage(QRect(page_.left(), y_, width, height), image);
    }
    y_ += height + line_ / 2;
  }

  const Document& doc_;
  QPainter& painter_;
  QPagedPaintDevice& device_;
  int pages_;
  bool paint_;
  QRect page_;
  QFont body_;
  QFont bold_;
  int line_ = 0;
  int y_ = 0;
  int top_ = 0;  // where a page's first block starts
  int pageNumber_ = 0;
};

// Noto CJK draws a Kangxi radical and the ideograph it stands for with one glyph, and the PDF's
// text map takes the lower code point for it: a reader would then find "⽇" where "日" was
// written, and a search for the word would fail. Nothing the program prints is a radical, so
// each one in the maps is put back as its ideograph. Both are four hex digits: no offset in
// the file moves.
void restoreIdeographs(QByteArray& pdf) {
  const QByteArray begin("begincmap");
  const QByteArray end("endcmap");
  for (qsizetype at = pdf.indexOf(begin); at >= 0; at = pdf.indexOf(begin, at)) {
    const qsizetype stop = pdf.indexOf(end, at);
    if (stop < 0) return;
    for (qsizetype i = at; i + 6 <= stop; ++i) {
      if (pdf[i] != '<' || pdf[i + 5] != '>') continue;
      bool ok = false;
      const uint code = pdf.mid(i + 1, 4).toUInt(&ok, 16);
      if (!ok || code < 0x2E80 || code > 0x2FDF) continue;
      const QString ideograph = QString(QChar(code)).normalized(QString::NormalizationForm_KC);
      if (ideograph.size() != 1 || ideograph[0].unicode() == code) continue;
      const QByteArray hex =
          QByteArray::number(ideograph[0].unicode(), 16).toUpper().rightJustified(4, '0');
      pdf.replace(i + 1, 4, hex);
    }
    at = stop;
  }
}

}  // namespace

Document headedDocument(const QString& title, const book::Workspace& store) {
  Document d;
  d.title = title;
  d.bookName = store.user().databaseName();
  d.date = store.clock().today();
  return d;
}

int render(const Document& document, QPagedPaintDevice& device) {
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  const int pages = Layout(document, painter, device, 0, false).run();
  const int painted = Layout(document, painter, device, pages, true).run();
  painter.end();
  return painted;
}

std::optional<QString> savePdf(const Document& document, const QString& path) {
  if (path.trimmed().isEmpty()) return QStringLiteral("沒有指定檔名");
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setTitle(document.title + QLatin1Char(' ') + document.bookName);
    writer.setCreator(QStringLiteral("Varnix"));
    if (render(document, writer) == 0) return QStringLiteral("無法產生PDF");
  }
  restoreIdeographs(bytes);
  // Written whole to a temporary first: a full disk must not cost the earlier file.
  return safefile::write(path, bytes);
}

void print(Dialogs& dialogs, const Document& document, QWidget* parent) {
  loadable::withModule(
      dialogs, [&](const loadable::Entries& module) { module.print(dialogs, document, parent); });
}

void saveAsPdf(Dialogs& dialogs, const Document& document, const QString& suggestedName, QWidget*) {
  QString target = dialogs.chooseFile({FileRequest::Purpose::Save, QStringLiteral("存成PDF"),
                                       suggestedName, QStringLiteral("PDF 檔 (*.pdf)")});
  if (target.isEmpty()) return;
  // A name typed without its ending would open in no PDF reader.
  if (QFileInfo(target).suffix().isEmpty()) target += QStringLiteral(".pdf");
  if (auto error = savePdf(document, target)) {
    dialogs.message(refusal(QStringLiteral("PDF檔沒有存好：%1").arg(*error)));
    return;
  }
  dialogs.message(completion(QStringLiteral("已存成「%1」").arg(QDir::toNativeSeparators(target))));
}

}  // namespace printing
