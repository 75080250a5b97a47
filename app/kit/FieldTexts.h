// How the windows' one-line fields show a text longer than the field: a
// name or description from its beginning; a path from its end (the file
// name), with the whole path as the field's tooltip.
#pragma once

#include <QString>

class QLineEdit;

namespace kit {

// Shows text scrolled to its beginning, and keeps the beginning in view
// when Tab or the window manager gives the field the focus.
void ShowName(QLineEdit* field, const QString& text);

// Shows path scrolled to its end and puts the whole path in the tooltip;
// an empty path empties both.
void ShowPath(QLineEdit* field, const QString& path);

}  // namespace kit
