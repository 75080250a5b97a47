#include "app/kit/FieldTexts.h"

#include <QLineEdit>

namespace kit {

void ShowName(QLineEdit* field, const QString& text) {
  field->setText(text);
  field->setCursorPosition(0);
}

void ShowPath(QLineEdit* field, const QString& path) {
  field->setText(path);
  field->end(false);
  field->setToolTip(path);
}

}  // namespace kit
