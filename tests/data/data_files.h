#pragma once
// Access to the installed data files for the data tests.
#include <QImage>
#include <string>

namespace datatest {

// installation folder + "/" + relative path; the test fails when the
// installation folder is unknown.
std::string InstalledPath(const std::string& relative);
// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Decodes a picture, the format taken from its content, not its name.
QImage LoadPicture(const std::string& path);
bool IsPowerOfTwo(int n);

}  // namespace datatest
