// The windows' own font. The program carries it, so that every desktop
// draws the windows' fixed texts with the font their sizes were checked
// with; each form names it explicitly and no desktop default takes over.
#pragma once

namespace kit {

// The family every form names (with its point size, 8).
inline constexpr char kWindowFontFamily[] = "DejaVu Sans";

// Makes the carried font available and the application's font, so that
// message boxes, dialogs and widgets under a style sheet (which take the
// application's font, not their form's) draw in it too. The first call does
// it, later ones do nothing; call it before a form is built. Needs a
// QApplication. Throws std::runtime_error when the program was built
// without the font.
void RegisterWindowFont();

}  // namespace kit
