// The sample pictures: at least eight, in each of the formats BMP, JPEG and
// PNG (the content matching the name), in the aspect ratios 4:3, 16:9, 3:4
// and square, large, and detailed enough that the pieces of a 500-piece
// puzzle can be told apart.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "data_files.h"
#include "support/support.h"

namespace {

struct Detail {
  double flatShare;  // share of puzzle cells with (almost) no variation
  int colourBins;    // coarse colour classes among the cells' mean colours
};

// Lays a 500-piece grid over the picture and looks at every cell.
Detail MeasureDetail(const QImage& image) {
  const int cols =
      std::max(1, static_cast<int>(std::lround(std::sqrt(500.0 * image.width() / image.height()))));
  const int rows = std::max(1, static_cast<int>(std::lround(500.0 / cols)));
  int flat = 0;
  std::set<int> bins;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      const int x0 = c * image.width() / cols, x1 = (c + 1) * image.width() / cols;
      const int y0 = r * image.height() / rows, y1 = (r + 1) * image.height() / rows;
      double sum = 0, sum2 = 0, red = 0, green = 0, blue = 0;
      int n = 0;
      for (int y = y0; y < y1; y += 2)
        for (int x = x0; x < x1; x += 2) {
          const QRgb p = image.pixel(x, y);
          const double l = 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
          sum += l;
          sum2 += l * l;
          red += qRed(p);
          green += qGreen(p);
          blue += qBlue(p);
          ++n;
        }
      const double mean = sum / n, deviation = std::sqrt(std::max(0.0, sum2 / n - mean * mean));
      if (deviation < 2.0) ++flat;
      bins.insert(static_cast<int>(red / n) / 64 * 16 + static_cast<int>(green / n) / 64 * 4 +
                  static_cast<int>(blue / n) / 64);
    }
  return {static_cast<double>(flat) / (rows * cols), static_cast<int>(bins.size())};
}

std::string FormatFromName(std::string name) {
  std::string ext = GetFileExtension(name);
  ToLowerString(ext);
  return ext == "jpg" ? "jpeg" : ext;
}

TEST(DataSamples, PicturesCoverTheFormatsAndShapesAndAreDetailed) {
  const std::string folder = datatest::InstalledPath("PuzzleSamples");
  std::vector<std::string> names;
  ListFilesInFolder(folder, names, "bmp;jpg;jpeg;png");
  ASSERT_GE(names.size(), 8u);
  std::set<std::string> formats, shapes;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    QImageReader reader(QString::fromStdString(folder + "/" + name));
    reader.setDecideFormatFromContent(true);
    const std::string format = reader.format().toStdString();  // read from the content
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(format, FormatFromName(name)) << "content does not match the name";
    formats.insert(format);
    EXPECT_GE(std::min(image.width(), image.height()), 1000);
    const double aspect = static_cast<double>(image.width()) / image.height();
    const struct {
      const char* name;
      double ratio;
    } known[] = {{"4:3", 4.0 / 3}, {"16:9", 16.0 / 9}, {"3:4", 3.0 / 4}, {"1:1", 1.0}};
    for (const auto& k : known)
      if (std::fabs(aspect / k.ratio - 1) < 0.01) shapes.insert(k.name);
    const Detail d = MeasureDetail(image);
    EXPECT_LT(d.flatShare, 0.35);
    EXPECT_GE(d.colourBins, 4);
  }
  EXPECT_EQ(formats, (std::set<std::string>{"bmp", "jpeg", "png"}));
  EXPECT_EQ(shapes, (std::set<std::string>{"4:3", "16:9", "3:4", "1:1"}));
}

}  // namespace
