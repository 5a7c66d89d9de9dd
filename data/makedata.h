#pragma once
// The data-file generator: writes the textures, sounds, sample pictures and
// table environments of the product into an installation folder. Each group
// of files has one Make* function; every file goes through Output, which
// creates its folder, writes it and remembers failures, so one bad file is
// reported without stopping the others. Output may be used from several
// threads at once.
#include <QImage>
#include <QString>
#include <mutex>
#include <string>
#include <vector>

namespace makedata {

class Output {
 public:
  explicit Output(const QString& root) : m_root(root) {}

  // Writes a picture to root/relativePath; the format follows the extension
  // (png, bmp, jpg). JPEG pictures use the given quality.
  void SaveImage(const QImage& image, const QString& relativePath, int jpegQuality = 92);
  // Writes raw bytes (text files, sounds) to root/relativePath.
  void SaveBytes(const std::string& bytes, const QString& relativePath);

  // Read once the work is done.
  const std::vector<QString>& Failures() const { return m_failures; }
  int FilesWritten() const { return m_written; }

 private:
  bool PrepareFolder(const QString& path);

  QString m_root;
  void Fail(const QString& message);
  void Written();

  std::mutex m_mutex;  // guards the two fields below
  std::vector<QString> m_failures;
  int m_written = 0;
};

// Textures/: piece side walls and backs, selection fill and mark.
void MakePieceTextures(Output& out);
// Textures/: start screen (globe, fill, four buttons, bar, title).
void MakeStartScreenArt(Output& out);
// Textures/: play bar, the eight bar icons, resize grip, close button.
void MakeBarArt(Output& out);
// Sounds/: the join click.
void MakeSounds(Output& out);
// PuzzleSamples/: the sample pictures, painted on up to three threads.
void MakeSamplePictures(Output& out);
// Environments/ and Environments/Textures/: table descriptions and textures.
void MakeEnvironments(Output& out);
// Tutorials/ and Help/: the pages of both languages and the tutorials'
// pictures.
void MakePages(Output& out);

}  // namespace makedata
