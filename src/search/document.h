#pragma once

#include "ui/print/pages.h"

namespace book {
class Workspace;
}

namespace printing {

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
Document searchResultsDocument(const book::Workspace& store, const SearchCriteria& criteria,
                               const QStringList& headers, std::vector<QStringList> rows,
                               qint64 sum);

}  // namespace printing
