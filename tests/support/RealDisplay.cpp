#include "tests/support/RealDisplay.h"

#include <QTest>

namespace fixture {

bool ShowActivated(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
  return QTest::qWaitForWindowActive(window, 5000);
}

}  // namespace fixture
