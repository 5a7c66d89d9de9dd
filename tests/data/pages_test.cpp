// The tutorial and help pages: every help topic the programs open exists in
// both languages, each language has at least five tutorials, and every link,
// picture and style sheet a page names exists, so no page shows a broken
// picture or leads nowhere.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <string>
#include <vector>

#include "data_files.h"
#include "support/support.h"

namespace {

// The files a page names (href and src), resolved against its folder; web
// addresses and anchors are not files.
std::vector<std::string> Targets(const std::string& page) {
  std::vector<std::string> out;
  const QString text = QString::fromStdString(datatest::ReadFileBytes(page));
  static const QRegularExpression attribute("(?:href|src)=\"([^\"#]+)");
  for (auto match = attribute.globalMatch(text); match.hasNext();) {
    const QString target = match.next().captured(1);
    if (target.contains(':')) continue;
    out.push_back(GetFolderFromPath(page) + "/" + target.toStdString());
  }
  return out;
}

void ExpectTargetsExist(const std::string& page) {
  const std::string text = datatest::ReadFileBytes(page);
  EXPECT_NE(text.find("<title>"), std::string::npos) << page;
  for (const std::string& target : Targets(page))
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(target))) << page << " names " << target;
}

}  // namespace

TEST(DataPages, HelpTopicsOfBothLanguagesLinkOnlyToWhatExists) {
  for (const char* language : {"english", "french"})
    for (int topic : {0, 32502, 903, 904, 907, 910, 5001}) {
      const std::string page =
          datatest::InstalledPath("Help/" + std::string(language) + "/" + std::to_string(topic) + ".html");
      ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(page))) << page;
      ExpectTargetsExist(page);
      // The contents page lists every other topic.
      if (topic == 0) {
        for (int other : {32502, 903, 904, 907, 910, 5001}) {
          EXPECT_NE(datatest::ReadFileBytes(page).find("href=\"" + std::to_string(other) + ".html\""),
                    std::string::npos)
              << language << " contents lacks " << other;
        }
      }
    }
}

TEST(DataPages, TutorialsOfBothLanguagesShowTheirPictures) {
  for (const char* language : {"english", "french"}) {
    std::vector<std::string> pages;
    const std::string folder = datatest::InstalledPath("Tutorials/" + std::string(language));
    ListFilesInFolder(folder, pages, "html");
    EXPECT_GE(pages.size(), 5u) << language;
    for (const std::string& page : pages) {
      ExpectTargetsExist(folder + "/" + page);
      for (const std::string& target : Targets(folder + "/" + page)) {
        if (GetFileExtension(target) == "png") {
          EXPECT_FALSE(datatest::LoadPicture(target).isNull()) << target;
        }
      }
    }
  }
}
