// ravelle_makedata <installation folder>
//
// Writes every data file of the product below the installation folder. Run by
// the build with the offscreen platform (fonts need a GUI application, no
// display). Prints each group's time; exits 1 when any file failed.
// The sample pictures are painted on worker threads beside the rest.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>
#include <thread>

#include "data/makedata.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <installation folder>\n", argv[0]);
    return 2;
  }
  QGuiApplication app(argc, argv);
  makedata::Output out(QString::fromLocal8Bit(argv[1]));

  const struct {
    const char* name;
    void (*make)(makedata::Output&);
  } groups[] = {
      {"piece textures", makedata::MakePieceTextures},
      {"start screen", makedata::MakeStartScreenArt},
      {"bar art", makedata::MakeBarArt},
      {"sounds", makedata::MakeSounds},
      {"environments", makedata::MakeEnvironments},
      {"pages", makedata::MakePages},
  };
  QElapsedTimer total;
  total.start();
  // The sample pictures take longest: they run beside the other groups.
  double samplesSeconds = 0;
  std::thread samples([&] {
    QElapsedTimer t;
    t.start();
    makedata::MakeSamplePictures(out);
    samplesSeconds = t.elapsed() / 1000.0;
  });
  for (const auto& g : groups) {
    QElapsedTimer t;
    t.start();
    g.make(out);
    std::printf("  %-16s %6.2f s\n", g.name, t.elapsed() / 1000.0);
  }
  samples.join();
  std::printf("  %-16s %6.2f s\n", "sample pictures", samplesSeconds);
  std::printf("  %d files in %.2f s\n", out.FilesWritten(), total.elapsed() / 1000.0);
  for (const QString& f : out.Failures()) std::fprintf(stderr, "error: %s\n", qPrintable(f));
  return out.Failures().empty() ? 0 : 1;
}
