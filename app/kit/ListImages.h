// The images and data roles of the windows' list rows.
#pragma once

#include <QIcon>
#include <Qt>

class QTreeWidget;
class QTreeWidgetItem;

namespace kit {

// Data roles of a list row's first column.
inline constexpr int kStoredBytesRole = Qt::UserRole;      // a cell's stored Windows-1252 bytes
inline constexpr int kImageRole = Qt::UserRole + 1;        // the image index shown
inline constexpr int kUserDriverRole = Qt::UserRole + 2;   // set only on a user driver's row
inline constexpr int kOriginalMd5Role = Qt::UserRole + 3;  // an original's MD5 text as listed

// The list images: 0 red thumbs-down (not available), 1 green thumbs-up
// (available); any other index gives 0. Every window shares the same two.
const QIcon& ListImage(int index);

// Shows image (0 or 1) on the row and records it in kImageRole.
void SetRowImage(QTreeWidgetItem* row, int image);
// The image index a row shows (0 when none was set).
int RowImage(const QTreeWidgetItem* row);

// The row selected in a single-selection list, or nullptr.
QTreeWidgetItem* SelectedRow(const QTreeWidget* list);

}  // namespace kit
