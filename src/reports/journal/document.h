#pragma once

#include "ui/print/pages.h"

namespace book {
class Workspace;
}

namespace printing {

// The journal's pages: every entry as the journal window lists it.
Document journalDocument(const book::Workspace& store);

// For the bench and the command line: the journal straight to a PDF.
std::optional<QString> journalPdf(const book::Workspace& store, const QString& path);

}  // namespace printing
