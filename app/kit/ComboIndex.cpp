#include "app/kit/ComboIndex.h"

#include <QComboBox>

int ItemIndex(const QComboBox* box) {
  const QString text = box->currentText();
  for (int i = 0; i < box->count(); ++i) {
    if (box->itemText(i) == text) return i;
  }
  return -1;
}
