#pragma once

#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

class Module1;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

// Reports on paper and in PDF: one renderer lays out every report, with the book's name, the
// date and the page number on each page. Text is drawn as text, so the Chinese in a PDF can be
// searched and copied.
namespace printing {

struct Table {
  QStringList headers;
  std::vector<QStringList> rows;
  std::vector<int> widths;       // relative widths of the columns
  std::vector<bool> alignRight;  // per column
};

struct Heading {
  QString text;
};

// A picture (a chart) drawn at the page's width, its height in proportion.
struct Picture {
  QImage image;
};

using Block = std::variant<Heading, Table, QString, Picture>;

struct Document {
  QString title;  // "日記帳", "財務報表" ...
  QString bookName;
  QDate date;
  std::vector<Block> blocks;
};

// Paints the document on a printer or a PDF writer, page after page. The number of pages.
int render(const Document& document, QPagedPaintDevice& device);

// Writes the document as a PDF file, replacing an earlier file only once the new one is whole.
// The reason in words when it could not be written (the earlier file then stays as it was).
std::optional<QString> savePdf(const Document& document, const QString& path);

// Asks for a printer (through the program's dialog seam) and prints. Nothing when cancelled.
void print(Module1& store, const Document& document, QWidget* parent);

// Asks where to save the PDF, writes it and says how it went (through the dialog seam).
// `suggestedName` is the file name offered.
void saveAsPdf(Module1& store, const Document& document, const QString& suggestedName,
               QWidget* parent);

// The documents of the program's reports.
Document journalDocument(const Module1& store);
Document statementsDocument(const Module1& store, const QString& date);

// For the statements and the journal windows.
void printJournal(const Module1& store, QPrinter& printer);
std::optional<QString> journalPdf(const Module1& store, const QString& path);
void printStatements(const Module1& store, const QString& date, QPrinter& printer);
std::optional<QString> statementsPdf(const Module1& store, const QString& date,
                                     const QString& path);

}  // namespace printing
