// Writing the generated files (see makedata.h).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

#include "data/makedata.h"

namespace makedata {

void Output::Fail(const QString& message) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_failures.push_back(message);
}

void Output::Written() {
  std::lock_guard<std::mutex> lock(m_mutex);
  ++m_written;
}

bool Output::PrepareFolder(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  if (QDir().mkpath(folder)) return true;
  Fail(path + ": cannot create the folder");
  return false;
}

void Output::SaveImage(const QImage& image, const QString& relativePath, int jpegQuality) {
  const QString path = m_root + "/" + relativePath;
  if (!PrepareFolder(path)) return;
  const QString suffix = QFileInfo(path).suffix().toLower();
  QByteArray format = suffix == "jpg" ? QByteArray("jpeg") : suffix.toLatin1();
  QImageWriter writer(path, format);
  if (format == "jpeg") {
    writer.setQuality(jpegQuality);
    writer.setOptimizedWrite(true);
  }
  // JPEG and BMP carry no alpha; flatten so the writer does not guess.
  const QImage stored = (format == "png") ? image : image.convertToFormat(QImage::Format_RGB32);
  if (!writer.write(stored)) {
    Fail(path + ": " + writer.errorString());
    return;
  }
  Written();
}

void Output::SaveBytes(const std::string& bytes, const QString& relativePath) {
  const QString path = m_root + "/" + relativePath;
  if (!PrepareFolder(path)) return;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
    Fail(path + ": " + file.errorString());
    return;
  }
  Written();
}

}  // namespace makedata
