#pragma once

#include <QString>

class Module1;

// What the program does before anyone logs in.

// Creates the store's DataBase folder when it is missing; false when it could not be made.
bool prepareDataBaseFolder(const Module1& store);

// The name remembered in the settings file ("[UserName]=name" on its first line): the first
// line up to its first comma, and of that the text after the first "=" up to a second "=".
// Empty when the file is missing or unreadable, or its first line holds no "=".
QString lastUserName(const QString& settingsFile);
