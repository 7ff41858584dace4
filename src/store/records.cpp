#include "store/records.h"

#include "platform/codepage.h"

namespace store {

QString dateField(const QString& text) { return codepage::fixedField(text, kDateWidth); }
QString nameField(const QString& text) { return codepage::fixedField(text, kNameWidth); }
QString memoField(const QString& text) { return codepage::fixedField(text, kMemoWidth); }

LedgerEntry makeEntry(const QString& date, const QString& increase, const QString& decrease,
                      qint32 amount, const QString& memo) {
  return {dateField(date), nameField(increase), nameField(decrease), amount, memoField(memo)};
}

AccountRecord makeAccount(const QString& name, qint16 kind) { return {nameField(name), kind}; }

}  // namespace store
