#pragma once

#include "platform/dialogs.h"
#include "store/database.h"

#include <QString>

#include <optional>

class Module1;

// The user commands. Each checks everything first and changes nothing when it refuses.

// "確定" of the login window. On success: UserName, PasswordLine, status panel 1, a cleared
// CatalogueChanged, and "Varnix.ini" naming this user (a settings file that cannot be written
// is reported, but does not keep the user out).
std::optional<Message> LogIn(Module1& store, const QString& name, const QString& password);

// "確定" of the new-user window: the user's folder with an empty "DataBase.lst" and its
// "DataBase.pwd". Either all three come into being or none does.
std::optional<Message> CreateUser(Module1& store, const QString& name, const QString& password);

// "變更密碼(&C)": asks for the old and the new password through the store's dialogs.
void ChangePassword(Module1& store);

// "登出(&O)" of the User menu, before the login window is shown again: saves the open
// database. With a refusal (it could not be saved) the user stays logged in; a notice of the
// save is shown either way.
SaveResult LogOutFromMenu(Module1& store);
