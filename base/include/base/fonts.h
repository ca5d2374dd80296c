#pragma once

namespace vellora {

// Maps the form fonts "Trebuchet MS" and "Times New Roman" onto the free fonts installed with
// the program, so layout measures the same everywhere. Call once after QApplication exists.
void installFontSubstitutions();

} // namespace vellora
