#pragma once

class Module1;
class LedgerView;

// "結帳(&C)": asks for the date, closes the books at it and redraws the ledger.
void CloseTheBooks(Module1& store, LedgerView& view);
