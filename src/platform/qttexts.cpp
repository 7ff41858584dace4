#include "platform/qttexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installQtTexts(QCoreApplication& app) {
  // The program is Traditional Chinese whatever the system's language, and so are Qt's texts.
  auto* translator = new QTranslator(&app);
  if (!translator->load(
          QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan),
          QStringLiteral("qtbase"), QStringLiteral("_"),
          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}
