// Window tests that only a real display can decide (focus given by the
// window manager, the caret, painting) are named OnScreen...: the test run
// starts Xvfb with openbox for them (tools/real-display.sh) and runs them
// one at a time there, since windows on one display take focus from each
// other. Elsewhere they skip.
#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWidget>

#define REQUIRE_REAL_DISPLAY()                                                            \
  do {                                                                                    \
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))                         \
      GTEST_SKIP() << "needs the real display that the test run starts (OnScreen tests)"; \
  } while (0)

namespace fixture {

// Shows the window and waits, at most 10 s, until the window manager has
// made it the active window. False when it never did.
bool ShowActivated(QWidget* window);

}  // namespace fixture
