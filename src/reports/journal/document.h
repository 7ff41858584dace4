#pragma once

#include "ui/print/pages.h"

class Module1;

namespace printing {

// The journal's pages: every entry as the journal window lists it.
Document journalDocument(const Module1& store);

// For the bench and the command line: the journal straight to a PDF.
std::optional<QString> journalPdf(const Module1& store, const QString& path);

}  // namespace printing
