#include "ui/print/pages.h"

#include "platform/dialogs.h"
#include "platform/safefile.h"
#include "platform/widgets/fonts.h"
#include "reports/journal/journal.h"
#include "reports/statements/statements.h"
#include "store/Module1.h"
#include "store/ledger.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

#include <algorithm>
#include <numeric>

namespace printing {

namespace {

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
    painter_.setFont(body_);
    line_ = painter_.fontMetrics().height() * 13 / 10;
    startPage();
  }

  int run() {
    for (const Block& block : doc_.blocks) {
      if (const auto* heading = std::get_if<Heading>(&block)) drawHeading(heading->text);
      if (const auto* table = std::get_if<Table>(&block)) drawTable(*table);
      if (const auto* text = std::get_if<QString>(&block)) drawText(*text);
      if (const auto* picture = std::get_if<Picture>(&block)) drawPicture(picture->image);
    }
    return pageNumber_;
  }

 private:
  void startPage() {
    if (pageNumber_ > 0 && paint_) device_.newPage();
    ++pageNumber_;
    y_ = page_.top();
    if (paint_) {
      QFont bold = body_;
      bold.setBold(true);
      painter_.setFont(bold);
      painter_.drawText(QRect(page_.left(), y_, page_.width(), line_),
                        Qt::AlignLeft | Qt::AlignVCenter,
                        doc_.title + QStringLiteral("　") + doc_.bookName);
      painter_.setFont(body_);
      painter_.drawText(QRect(page_.left(), y_, page_.width(), line_),
                        Qt::AlignRight | Qt::AlignVCenter,
                        doc_.date.toString(QStringLiteral("yyyy/MM/dd")));
      painter_.drawLine(page_.left(), y_ + line_, page_.right(), y_ + line_);
      painter_.drawText(QRect(page_.left(), page_.bottom() - line_, page_.width(), line_),
                        Qt::AlignCenter,
                        QStringLiteral("第 %1 頁，共 %2 頁").arg(pageNumber_).arg(pages_));
    }
    y_ += line_ * 3 / 2;
  }

  int bottom() const { return page_.bottom() - line_ * 3 / 2; }

  void need(int height) {
    if (y_ + height > bottom()) startPage();
  }

  void drawHeading(const QString& text) {
    need(line_ * 3);
    y_ += line_ / 2;
    if (paint_) {
      QFont bold = body_;
      bold.setBold(true);
      bold.setPointSizeF(body_.pointSizeF() * 1.2);
      painter_.setFont(bold);
      painter_.drawText(QRect(page_.left(), y_, page_.width(), line_),
                        Qt::AlignLeft | Qt::AlignVCenter, text);
      painter_.setFont(body_);
    }
    y_ += line_;
  }

  void drawRow(const Table& table, const QStringList& cells, const std::vector<int>& x, bool bold) {
    if (paint_) {
      QFont font = body_;
      font.setBold(bold);
      painter_.setFont(font);
      const QFontMetrics metrics = painter_.fontMetrics();
      const int pad = metrics.averageCharWidth() / 2;
      for (qsizetype c = 0; c < cells.size() && c + 1 < static_cast<qsizetype>(x.size()); ++c) {
        const QRect cell(x[static_cast<size_t>(c)] + pad, y_,
                         x[static_cast<size_t>(c) + 1] - x[static_cast<size_t>(c)] - 2 * pad,
                         line_);
        const bool right = static_cast<size_t>(c) < table.alignRight.size() &&
                           table.alignRight[static_cast<size_t>(c)];
        painter_.drawText(cell, (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                          metrics.elidedText(cells[c], Qt::ElideRight, cell.width()));
      }
      painter_.setFont(body_);
    }
    y_ += line_;
  }

  void drawTable(const Table& table) {
    const size_t columns = static_cast<size_t>(table.headers.size());
    std::vector<int> widths = table.widths;
    widths.resize(columns, 1);
    const int sum = std::max(std::accumulate(widths.begin(), widths.end(), 0), 1);
    std::vector<int> x{page_.left()};
    int acc = 0;
    for (int w : widths) {
      acc += w;
      x.push_back(page_.left() + static_cast<int>(static_cast<qint64>(page_.width()) * acc / sum));
    }
    const auto header = [&] {
      drawRow(table, table.headers, x, true);
      if (paint_) painter_.drawLine(page_.left(), y_, page_.right(), y_);
    };
    need(line_ * 2);
    header();
    for (const QStringList& row : table.rows) {
      if (y_ + line_ > bottom()) {
        startPage();
        header();
      }
      drawRow(table, row, x, false);
    }
    y_ += line_ / 2;
  }

  void drawText(const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QFont fixed = fixedPitchFont(10);
    for (const QString& line : plain.split(QLatin1Char('\n'))) {
      need(line_);
      if (paint_) {
        painter_.setFont(fixed);
        painter_.drawText(QRect(page_.left(), y_, page_.width(), line_),
                          Qt::AlignLeft | Qt::AlignVCenter, line);
        painter_.setFont(body_);
      }
      y_ += line_;
    }
    y_ += line_ / 2;
  }

  void drawPicture(const QImage& image) {
    if (image.isNull()) return;
    const int maxHeight = (bottom() - page_.top()) * 3 / 5;
    QSize size = image.size().scaled(page_.width(), maxHeight, Qt::KeepAspectRatio);
    need(size.height());
    if (paint_) painter_.drawImage(QRect(QPoint(page_.left(), y_), size), image);
    y_ += size.height() + line_ / 2;
  }

  const Document& doc_;
  QPainter& painter_;
  QPagedPaintDevice& device_;
  int pages_;
  bool paint_;
  QRect page_;
  QFont body_;
  int line_ = 0;
  int y_ = 0;
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

Document withBlocks(const QString& title, const Module1& store) {
  Document d;
  d.title = title;
  d.bookName = store.DataBaseName;
  d.date = store.clock().today();
  return d;
}

}  // namespace

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

void print(Module1& store, const Document& document, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(document.title + QLatin1Char(' ') + document.bookName);
  QPrintDialog dialog(&printer, parent);
  if (store.dialogs().exec(dialog) != QDialog::Accepted) return;
  if (render(document, printer) == 0) {
    store.dialogs().message(refusal(QStringLiteral("無法列印：找不到可用的印表機")));
  }
}

void saveAsPdf(Module1& store, const Document& document, const QString& suggestedName, QWidget*) {
  QString target = store.dialogs().chooseFile({FileRequest::Purpose::Save,
                                               QStringLiteral("存成PDF"), suggestedName,
                                               QStringLiteral("PDF 檔 (*.pdf)")});
  if (target.isEmpty()) return;
  // A name typed without its ending would open in no PDF reader.
  if (QFileInfo(target).suffix().isEmpty()) target += QStringLiteral(".pdf");
  if (auto error = savePdf(document, target)) {
    store.dialogs().message(refusal(QStringLiteral("PDF檔沒有存好：%1").arg(*error)));
    return;
  }
  store.dialogs().message(
      completion(QStringLiteral("已存成「%1」").arg(QDir::toNativeSeparators(target))));
}

Document journalDocument(const Module1& store) {
  Document d = withBlocks(QStringLiteral("日記帳"), store);
  Table table;
  table.headers = {QStringLiteral("日期"), QStringLiteral("資產增加"), QStringLiteral("資產減少"),
                   QStringLiteral("金額"), QStringLiteral("備註")};
  table.widths = {11, 14, 14, 11, 30};
  table.alignRight = {false, false, false, true, false};
  for (const JournalRow& row : journalRows(store)) {
    QString memo = row.memo;
    memo.replace(QLatin1String("\r\n"), QLatin1String(" "));
    table.rows.push_back({row.date, TrimTrailingSpaces(row.increase),
                          TrimTrailingSpaces(row.decrease), row.amount, memo});
  }
  d.blocks.emplace_back(std::move(table));
  return d;
}

Document statementsDocument(const Module1& store, const QString& date) {
  Document d = withBlocks(QStringLiteral("財務報表"), store);
  const Statements s = BuildStatements(store, date);
  d.blocks.emplace_back(Heading{QStringLiteral("資產負債表　%1").arg(date)});
  d.blocks.emplace_back(s.assets);
  d.blocks.emplace_back(s.liabilities);
  d.blocks.emplace_back(s.netWorthLine);
  d.blocks.emplace_back(Heading{QStringLiteral("損益表　%1").arg(date)});
  d.blocks.emplace_back(s.income);
  d.blocks.emplace_back(s.expenses);
  d.blocks.emplace_back(s.balanceLine);
  return d;
}

void printJournal(const Module1& store, QPrinter& printer) {
  render(journalDocument(store), printer);
}

std::optional<QString> journalPdf(const Module1& store, const QString& path) {
  return savePdf(journalDocument(store), path);
}

void printStatements(const Module1& store, const QString& date, QPrinter& printer) {
  render(statementsDocument(store, date), printer);
}

std::optional<QString> statementsPdf(const Module1& store, const QString& date,
                                     const QString& path) {
  return savePdf(statementsDocument(store, date), path);
}

}  // namespace printing
