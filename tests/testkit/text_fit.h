#pragma once
// Whether every text of a dialog fits its control, measured with the
// control's own font and style: push buttons, check boxes and radio buttons,
// labels (one line, or wrapped within the label's height), group-box titles
// and the items of combo boxes. Only the controls shown with the dialog are
// measured (hidden ones and pages not shown are not).
//
// Sections: measuring
#include <string>
#include <vector>

class QWidget;

namespace testkit {

// ---- measuring -------------------------------------------------------------------------------
// One line per text that does not fit: the control's class, its text, the
// width (or height) it needs and the one it has. Empty when all fit.
std::vector<std::string> CutTexts(const QWidget* dialog);

}  // namespace testkit
