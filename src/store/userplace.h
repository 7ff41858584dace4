#pragma once

#include <QString>

namespace store {

// The folder a database name stands for. Windows drops trailing blanks and dots from a folder
// name, so a "DataBase.lst" line "2003-11 " written there names the folder "2003-11"; lists
// moved over keep their lines and still find their folders.
QString databaseFolderName(const QString& name);

// Who is logged in and where their data lives: the data folder with its fixed sub-folders, the
// user with their password line, and the name of the book they have open.
class UserPlace {
 public:
  // dataFolder: where the books and settings live (tests pass a temporary one);
  // programFiles: where the help page lies, the data folder when not given.
  explicit UserPlace(const QString& dataFolder, const QString& programFiles = {});

  const QString& dataFolder() const { return dataFolder_; }      // no trailing separator
  const QString& programFiles() const { return programFiles_; }  // help page and icon
  const QString& usersFolder() const { return usersFolder_; }    // data folder + "/DataBase/"
  const QString& csvFolder() const { return csvFolder_; }        // data folder + "/CSV/"
  const QString& txtFolder() const { return txtFolder_; }        // data folder + "/TXT/"

  const QString& userName() const { return userName_; }
  const QString& passwordLine() const { return passwordLine_; }
  // The open book's name as the user's list holds it; empty while none is open.
  const QString& databaseName() const { return databaseName_; }

  // A user has logged in: their list is as the file holds it.
  void logIn(const QString& userName, const QString& passwordLine);
  void setUserName(const QString& name) { userName_ = name; }
  void setPasswordLine(const QString& line) { passwordLine_ = line; }
  void setDatabaseName(const QString& name) { databaseName_ = name; }

  // The user's list of books was changed in memory and is to be written when the list closes.
  bool listChanged() const { return listChanged_; }
  void markListChanged() { listChanged_ = true; }

  QString userFolder() const { return usersFolder_ + userName_; }
  QString databaseFolder() const {
    return userFolder() + QLatin1Char('/') + databaseFolderName(databaseName_);
  }
  QString helpPage() const { return programFiles_ + QStringLiteral("/readme.htm"); }
  QString settingsFile() const { return dataFolder_ + QStringLiteral("/Varnix.ini"); }

 private:
  QString dataFolder_;
  QString programFiles_;
  QString usersFolder_;
  QString csvFolder_;
  QString txtFolder_;
  QString userName_;
  QString passwordLine_;
  QString databaseName_;
  bool listChanged_ = false;
};

}  // namespace store
