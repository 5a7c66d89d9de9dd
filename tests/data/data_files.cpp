#include "data_files.h"

#include <gtest/gtest.h>

#include <QImageReader>
#include <fstream>
#include <sstream>

#include "support/support.h"

namespace datatest {

std::string InstalledPath(const std::string& relative) {
  const std::string root = GetInstallDir();
  EXPECT_FALSE(root.empty()) << "no installation folder (Ravelle.machine.ini beside the test?)";
  return root + "/" + relative;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

QImage LoadPicture(const std::string& path) {
  QImageReader reader(QString::fromStdString(path));
  reader.setDecideFormatFromContent(true);
  return reader.read();
}

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

}  // namespace datatest
