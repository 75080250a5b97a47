#include "app/kit/RowBatch.h"

#include <QTreeWidget>

namespace kit {

RowBatch::RowBatch(QTreeWidget* list) : list_(list) { sinceFlush_.start(); }

RowBatch::~RowBatch() {
  flush();
  qDeleteAll(pending_);  // only when the list itself is gone
}

void RowBatch::add(QTreeWidgetItem* row) {
  pending_.append(row);
  if (sinceFlush_.elapsed() >= kIntervalMs) flush();
}

void RowBatch::flush() {
  sinceFlush_.restart();
  if (pending_.isEmpty() || !list_) return;
  list_->addTopLevelItems(pending_);
  pending_.clear();
}

}  // namespace kit
