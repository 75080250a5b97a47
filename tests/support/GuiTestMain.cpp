// main() of the GUI test programs: the real application object, offscreen.
#include <gtest/gtest.h>

#include "app/QuorApplication.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QuorApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZKM Quorvane Maintenance Tools"));
  return RUN_ALL_TESTS();
}
