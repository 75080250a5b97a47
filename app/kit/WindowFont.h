// The windows' own font. Every form names Tahoma 8, the font the windows
// were laid out for. Where the system has no Tahoma (Linux desktops), the
// program draws them with the DejaVu Sans it carries, so that every such
// desktop uses the font their text sizes were checked with, and no desktop
// default takes over.
#pragma once

#include <QString>

namespace kit {

// The family every form names (with its point size, 8).
inline constexpr char kWindowFontFamily[] = "Tahoma";
// The family the program carries for systems without Tahoma.
inline constexpr char kCarriedFontFamily[] = "DejaVu Sans";

// Makes the windows' font available and the application's font, so that
// message boxes, dialogs and widgets under a style sheet (which take the
// application's font, not their form's) draw in it too: Tahoma where the
// system has it, else the carried font in its place. The first call does
// it, later ones do nothing; call it before a form is built. Needs a
// QApplication. Throws std::runtime_error when the carried font is needed
// and the program was built without it.
void RegisterWindowFont();

// The family the windows are drawn with: Tahoma or the carried font.
QString DrawnWindowFontFamily();

}  // namespace kit
