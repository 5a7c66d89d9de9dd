#include "platform/resource_file.h"

#include <QFile>

bool ReadBuiltInFile(const std::string& path, std::vector<BYTE>& bytes) {
  bytes.clear();
  if (path.rfind(":/", 0) != 0) return false;  // built-in files only: nothing from outside
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray data = file.readAll();
  if (data.isEmpty()) return false;
  bytes.assign(data.begin(), data.end());
  return true;
}
