#pragma once

#include "platform/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// The dialog seam for tests: answers queued in advance, a record of every box shown, and
// steps that run against a window instead of a real modal loop. OK boxes need no answer. Yes/No
// questions take the next queued answer, input boxes the next queued text, modal windows the next
// queued steps. Anything shown without a queued answer is recorded in unscripted() and answered No,
// cancel or rejected.
class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    enum Kind { MessageBox, InputBox, Modal, FileBox } kind;
    Message message;                     // MessageBox
    QString prompt, title, defaultText;  // InputBox; FileBox: title and the start offered
  };

  void answer(Answer yesOrNo) { answers_.push_back(yesOrNo); }
  void type(const QString& text) { texts_.push_back(text); }
  void cancelInput() { texts_.push_back(QString()); }
  // File dialogs take the next queued text as the chosen path, as input boxes do; the empty
  // text cancels them.
  // Steps to run when the next window is shown modally. They receive the window, which is
  // shown (not modal); they end it (a click on its closing button) and return its result.
  void onModal(std::function<int(QDialog&)> steps) { modals_.push_back(std::move(steps)); }

  Answer message(const Message& message) override;
  QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
  int exec(QDialog& dialog) override;

  const std::vector<Shown>& shown() const { return shown_; }
  const std::vector<Message>& messages() const { return messages_; }
  QStringList messageTexts() const;
  // The last message box shown; an empty Message when none was.
  Message lastMessage() const { return messages_.empty() ? Message{} : messages_.back(); }
  const QStringList& unscripted() const { return unscripted_; }
  bool allAnswersUsed() const { return answers_.empty() && texts_.empty() && modals_.empty(); }
  void clear() { *this = ScriptedDialogs(); }

 protected:
  QString askFile(const FileRequest& request, const QString& start) override;

 private:
  // The next queued answer, or `none` (noting `what` as unscripted) when there is none.
  template <class T>
  T next(std::deque<T>& queue, T none, const QString& what) {
    if (queue.empty()) {
      unscripted_.append(what);
      return none;
    }
    T first = std::move(queue.front());
    queue.pop_front();
    return first;
  }

  std::deque<Answer> answers_;
  std::deque<QString> texts_;
  std::deque<std::function<int(QDialog&)>> modals_;
  std::vector<Shown> shown_;
  std::vector<Message> messages_;
  QStringList unscripted_;
};
