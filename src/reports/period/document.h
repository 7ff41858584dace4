#pragma once

#include "ui/print/pages.h"

class Module1;

namespace period {
struct Report;
}

// The pages of the program's reports, each headed by the report's name, the book and today.
namespace printing {

Document journalDocument(const Module1& store);
Document statementsDocument(const Module1& store, const QString& date);
// The table and the net worth of the period, then its charts.
Document periodDocument(const Module1& store, const period::Report& report);

// What was searched for, as the person typed it; empty boxes asked nothing.
struct SearchCriteria {
  QString memo;
  QString account;
  QString amountFrom;
  QString amountTo;
  QString dateFrom;
  QString dateTo;
};
// "條件：..." naming every box that asked something.
QString criteriaLine(const SearchCriteria& criteria);
// The hits as the result list shows them, under the criteria, with their count and sum.
Document searchResultsDocument(const Module1& store, const SearchCriteria& criteria,
                               const QStringList& headers, std::vector<QStringList> rows,
                               qint64 sum);

// For the bench and the command line: the journal straight to a PDF.
std::optional<QString> journalPdf(const Module1& store, const QString& path);

}  // namespace printing
