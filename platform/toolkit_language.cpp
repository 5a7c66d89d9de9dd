#include "platform/toolkit_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {
QPointer<QTranslator>& Installed() {
  static QPointer<QTranslator> installed;  // owned by the application
  return installed;
}
}  // namespace

bool SetToolkitLanguage(const std::string& language) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  if (QTranslator* old = Installed()) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  if (language != "french") return true;
  auto* translator = new QTranslator(app);
  if (!translator->load("qtbase_fr", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  Installed() = translator;
  return true;
}
