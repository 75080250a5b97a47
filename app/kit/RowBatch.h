// Rows of a long list fill reach their list in batches. The fill still
// hands the event queue a turn after every row (so "Interrompi " and the
// window respond), but the list takes the new rows, and repaints, only
// every kInterval, not once per row.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPointer>

class QTreeWidget;
class QTreeWidgetItem;

namespace kit {

class RowBatch {
 public:
  static constexpr int kIntervalMs = 100;

  explicit RowBatch(QTreeWidget* list);
  // Hands the list the rows still held, also when the fill failed: the
  // rows found until then stay listed.
  ~RowBatch();
  RowBatch(const RowBatch&) = delete;
  RowBatch& operator=(const RowBatch&) = delete;

  // Takes a row without parent; the list gets it, after those added
  // before, at the latest at flush().
  void add(QTreeWidgetItem* row);
  // Hands every row held to the list now.
  void flush();

 private:
  QPointer<QTreeWidget> list_;
  QList<QTreeWidgetItem*> pending_;
  QElapsedTimer sinceFlush_;
};

}  // namespace kit
