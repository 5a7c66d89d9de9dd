#pragma once
// Demo pictures: what the tests draw, written under <build>/demo/<topic>/ for
// a person to look at (docs/CONVENTIONS.md). The folder is found from the
// test binary's folder (<build>/bin), never in the source tree.
//
// Sections: demo pictures
#include <string>

class QImage;

namespace testkit {

// ---- demo pictures -----------------------------------------------------------------------
// Saves the image as <build>/demo/<topic>/<name>.png (the folder made when
// missing) and prints where; false when it could not be written, and for
// an empty topic (nothing goes straight into <build>/demo/).
bool SaveDemoPicture(const QImage& image, const std::string& topic, const std::string& name);

}  // namespace testkit
