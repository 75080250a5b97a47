#include "drivers/DriverWindowSnapshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTreeWidget>

#include "drivers/Drv_mng.h"
#include "ui_Drv_mng.h"

namespace {

void Save(QWidget* window, const QString& path, QStringList* saved) {
  QApplication::processEvents();
  if (window->grab().save(path)) saved->append(path);
}

}  // namespace

QStringList SaveDriverWindowSnapshots(const std::string& keyRoot, const QString& folder,
                                      const QString& prefix) {
  QStringList saved;
  QDir().mkpath(folder);
  TForm3 window;
  window.SetupWindow(keyRoot);
  window.show();
  window.Button4Click();
  QTreeWidget* list = window.ui()->DrvList;
  if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
  Save(&window, QDir(folder).filePath(prefix + QStringLiteral("drivers-1-list.png")), &saved);
  window.BTN_RICClick();
  Save(&window, QDir(folder).filePath(prefix + QStringLiteral("drivers-2-recatalogue.png")),
       &saved);
  window.hide();
  return saved;
}
