#include "tests/support/RealDisplay.h"

#include <QTest>

namespace fixture {

bool ShowActivated(QWidget* window) {
  window->show();
  // Asked again while waiting: a busy window manager may miss the first.
  for (int attempt = 0; attempt < 20; ++attempt) {
    window->raise();
    window->activateWindow();
    if (QTest::qWaitForWindowActive(window, 500)) return true;
  }
  return false;
}

}  // namespace fixture
