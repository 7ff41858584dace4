#include "ScriptedDialogs.h"

Answer ScriptedDialogs::message(const Message& message) {
  shown_.push_back({Shown::MessageBox, message, {}, {}, {}});
  if (message.buttons == MessageButtons::Ok) return Answer::Ok;
  if (answers_.empty()) {
    unscripted_.append(QStringLiteral("question: ") + message.text);
    return Answer::No;
  }
  const Answer a = answers_.front();
  answers_.pop_front();
  return a;
}

QString ScriptedDialogs::input(const QString& prompt, const QString& title,
                               const QString& defaultText) {
  shown_.push_back({Shown::InputBox, {}, prompt, title, defaultText});
  if (texts_.empty()) {
    unscripted_.append(QStringLiteral("input: ") + prompt);
    return {};
  }
  QString text = texts_.front();
  texts_.pop_front();
  return text;
}

int ScriptedDialogs::exec(QDialog& dialog) {
  shown_.push_back({Shown::Modal, {}, {}, {}, {}});
  if (modals_.empty()) {
    unscripted_.append(QStringLiteral("modal window"));
    return 0;
  }
  auto steps = std::move(modals_.front());
  modals_.pop_front();
  return steps(dialog);
}

std::vector<Message> ScriptedDialogs::messages() const {
  std::vector<Message> out;
  for (const Shown& s : shown_) {
    if (s.kind == Shown::MessageBox) out.push_back(s.message);
  }
  return out;
}

QStringList ScriptedDialogs::messageTexts() const {
  QStringList out;
  for (const Message& m : messages()) out.append(m.text);
  return out;
}

Message ScriptedDialogs::lastMessage() const {
  const auto all = messages();
  return all.empty() ? Message{} : all.back();
}

void ScriptedDialogs::clear() {
  answers_.clear();
  texts_.clear();
  modals_.clear();
  shown_.clear();
  unscripted_.clear();
}
