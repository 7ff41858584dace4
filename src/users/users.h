#pragma once

#include "book/book.h"
#include "platform/message.h"
#include "store/database.h"

#include <QString>

#include <optional>

namespace book {
class Workspace;
}

// The user commands. Each checks everything first and changes nothing when it refuses.
namespace users {

// What the login window's "確定" leads to: a refusal, with nobody logged in, or a login, perhaps
// with a warning to show.
struct LoginOutcome {
  bool loggedIn = false;
  std::optional<Message> message;
};

// "確定" of the login window. On success: the user's name and password line, status panel 1, the
// list as not changed, and "Varnix.ini" naming this user (a settings file that cannot be written
// gives a warning, but does not keep the user out).
LoginOutcome logIn(book::Workspace& store, const QString& name, const QString& password);

// "確定" of the new-user window: the user's folder with an empty "DataBase.lst" and its
// "DataBase.pwd". Either all three come into being or none does.
std::optional<Message> createUser(book::Workspace& store, const QString& name,
                                  const QString& password);

// "變更密碼(&C)" asks for the old password, then the new one. The refusal of the old one as typed.
std::optional<Message> oldPasswordRefusal(const book::Workspace& store, const QString& typed);
// Writes the new password; the refusal, with nothing changed, when the old one is wrong, the new
// one is unfit or the file cannot be written.
std::optional<Message> setPassword(book::Workspace& store, const QString& old,
                                   const QString& fresh);

// "登出(&O)" of the User menu, before the login window is shown again: saves the open
// database. With a refusal (it could not be saved) the user stays logged in; a notice of the
// save is shown either way.
book::SaveResult saveAndLogOut(book::Workspace& store, const book::MergeQuestions& ask = {});

}  // namespace users
