#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace book {
class Workspace;
}
class Dialogs;
class QPagedPaintDevice;
class QPainter;
class QRectF;
class QWidget;

// Reports on paper and in PDF: one renderer lays out every report, with the book's name, the
// date and the page number on each page. Text is drawn as text, so the Chinese in a PDF can be
// searched and copied. Nothing is cut: a column too narrow for its text wraps it.
namespace printing {

// Columns keep the width of their longest text where the page has room; the widths given are
// the shares of what room is left for the columns that must wrap.
struct Table {
  QStringList headers;
  std::vector<QStringList> rows;
  std::vector<int> widths;       // relative widths of the columns
  std::vector<bool> alignRight;  // per column
};

struct Heading {
  QString text;
};

// A line of running text, wrapped at the page's edge.
struct Paragraph {
  QString text;
};

// Lines laid on a grid of half-width columns, a Chinese character taking two, as the screen's
// fixed-pitch boxes show them.
struct FixedText {
  QString text;
};

// A picture (a chart) drawn at the page's width, `aspect` times as high; painted at print
// resolution into a rectangle measured in pixels of 1/96 inch, so its fonts keep their size.
struct Picture {
  std::function<void(QPainter&, const QRectF&)> paint;
  double aspect = 0.62;
};

using Block = std::variant<Heading, Table, Paragraph, FixedText, Picture>;

struct Document {
  QString title;  // "日記帳", "財務報表" ...
  QString bookName;
  QDate date;
  std::vector<Block> blocks;
};

// A document headed by the report's name, the open book and today.
Document headedDocument(const QString& title, const book::Workspace& store);

// Paints the document on a printer or a PDF writer, page after page. The number of pages.
int render(const Document& document, QPagedPaintDevice& device);

// Writes the document as a PDF file, replacing an earlier file only once the new one is whole.
// The reason in words when it could not be written (the earlier file then stays as it was).
std::optional<QString> savePdf(const Document& document, const QString& path);

// Asks for a printer (through the program's dialog seam) and prints. Nothing when cancelled.
void print(Dialogs& dialogs, const Document& document, QWidget* parent);

// Asks where to save the PDF, writes it and says how it went (through the dialog seam).
// `suggestedName` is the file name offered.
void saveAsPdf(Dialogs& dialogs, const Document& document, const QString& suggestedName,
               QWidget* parent);

}  // namespace printing
