#include "platform/toolkit_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include "platform/data_file.h"

namespace {
// Qt's own French texts are about 160 KB; nothing larger is read.
constexpr std::uint64_t kMaxTranslationBytes = 4 * 1024 * 1024;

// A translator over bytes read through the data-file opener; it keeps the
// bytes, which Qt reads in place for as long as the translator lives.
class ToolkitTranslator : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool LoadFile(const std::string& path) {
    if (!ReadDataFile(path, kMaxTranslationBytes, m_bytes)) return false;
    return load(reinterpret_cast<const uchar*>(m_bytes.data()), static_cast<int>(m_bytes.size()));
  }

 private:
  std::string m_bytes;
};

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
  auto* translator = new ToolkitTranslator(app);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->LoadFile((folder + "/qtbase_fr.qm").toStdString())) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  Installed() = translator;
  return true;
}
