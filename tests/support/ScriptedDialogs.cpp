#include "ScriptedDialogs.h"

Answer ScriptedDialogs::message(const Message& message) {
  shown_.push_back({Shown::MessageBox, message, {}, {}, {}});
  messages_.push_back(message);
  if (message.buttons == MessageButtons::Ok) return Answer::Ok;
  return next(answers_, Answer::No, "question: " + message.text);
}

QString ScriptedDialogs::input(const QString& prompt, const QString& title,
                               const QString& defaultText) {
  shown_.push_back({Shown::InputBox, {}, prompt, title, defaultText});
  return next(texts_, QString(), "input: " + prompt);
}

int ScriptedDialogs::exec(QDialog& dialog) {
  shown_.push_back({Shown::Modal, {}, {}, {}, {}});
  const auto steps = next(modals_, std::function<int(QDialog&)>(), "modal window");
  return steps ? steps(dialog) : 0;
}

QStringList ScriptedDialogs::messageTexts() const {
  QStringList out;
  for (const Message& m : messages_) out.append(m.text);
  return out;
}

QString ScriptedDialogs::askFile(const FileRequest& request, const QString& start) {
  shown_.push_back({Shown::FileBox, {}, {}, request.title, start});
  return next(texts_, QString(), "file: " + request.title);
}
