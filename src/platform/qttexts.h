#pragma once

class QCoreApplication;

// Qt's own texts (file dialogs, standard buttons, the context menus of text boxes) in
// Traditional Chinese, from the translations Debian ships (qt6-translations-l10n). Whether they
// were found: without them Qt speaks English, and the program's own texts are unaffected.
bool installQtTexts(QCoreApplication& app);
