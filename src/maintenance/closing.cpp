#include "maintenance/closing.h"

// Placeholder until closing the books is built.
void CloseTheBooks(Module1&, LedgerView&) {}
