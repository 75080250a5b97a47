#include "app/kit/ListImages.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>

namespace kit {

const QIcon& ListImage(int index) {
  static const QIcon images[2] = {QIcon(QStringLiteral(":/lists/thumb-down-red.png")),
                                  QIcon(QStringLiteral(":/lists/thumb-up-green.png"))};
  return images[index == 1 ? 1 : 0];
}

void SetRowImage(QTreeWidgetItem* row, int image) {
  row->setIcon(0, ListImage(image));
  row->setData(0, kImageRole, image == 1 ? 1 : 0);
}

int RowImage(const QTreeWidgetItem* row) { return row->data(0, kImageRole).toInt(); }

QTreeWidgetItem* SelectedRow(const QTreeWidget* list) {
  const QList<QTreeWidgetItem*> rows = list->selectedItems();
  return rows.isEmpty() ? nullptr : rows.first();
}

}  // namespace kit
