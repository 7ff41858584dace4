#include "platform/message.h"

Message refusal(const QString& text) {
  return {text, QStringLiteral("注意"), MessageIcon::Exclamation, MessageButtons::Ok};
}

Message completion(const QString& text) {
  return {text, QStringLiteral("完成"), MessageIcon::Information, MessageButtons::Ok};
}

Message confirmDelete(const QString& text) {
  return {text, QStringLiteral("刪除資料"), MessageIcon::Exclamation, MessageButtons::YesNo};
}
