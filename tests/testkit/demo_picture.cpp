#include "demo_picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <cstdio>

namespace testkit {

bool SaveDemoPicture(const QImage& image, const std::string& topic, const std::string& name) {
  if (topic.empty()) return false;
  const QString folder = QCoreApplication::applicationDirPath() + "/../demo/" + QString::fromStdString(topic);
  QDir().mkpath(folder);
  const QString path = QDir(folder).absoluteFilePath(QString::fromStdString(name) + ".png");
  if (!image.save(path)) return false;
  std::printf("demo picture: %s\n", qPrintable(path));
  return true;
}

}  // namespace testkit
