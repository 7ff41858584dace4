#pragma once

// The main window on a store of its own folder, with the session that runs its road, for the
// window tests.

#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"

#include <QTemporaryDir>

struct MainWindowBook {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  MainForm window{store};
  Session session{store, window};
};
