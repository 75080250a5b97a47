// main() of the GUI test programs: the real application object, offscreen,
// or on the real display that the test run started (RealDisplay.h).
#include <gtest/gtest.h>

#include <QFile>
#include <iostream>

#include "app/QuorApplication.h"

namespace {

QtMessageHandler g_qtHandler = nullptr;

// The application object names an exception that left one of our handlers
// with a critical message (an exception that unwound through Qt's frames):
// that fails the test that caused it, as any critical message from Qt does.
void FailOnCritical(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtCriticalMsg) ADD_FAILURE() << "critical message: " << text.toStdString();
  if (g_qtHandler) {
    g_qtHandler(type, context, text);
  } else {
    std::cerr << qPrintable(qFormatLogMessage(type, context, text)) << std::endl;
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  g_qtHandler = qInstallMessageHandler(FailOnCritical);
  // The display tests are told where the run's display is written.
  const QByteArray displayFile = qgetenv("QUOR_DISPLAY_FILE");
  if (!displayFile.isEmpty()) {
    QFile file(QString::fromLocal8Bit(displayFile));
    const QByteArray display =
        file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
    if (display.startsWith(':')) {
      qputenv("DISPLAY", display);
      qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
      // Nothing runs; CTest counts the test as skipped and the run shows why.
      std::cout << "[  SKIPPED ] display test skipped: "
                << (display.isEmpty() ? displayFile.toStdString() + " was not written"
                                      : display.toStdString())
                << std::endl;
      return 0;
    }
  }
  QuorApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
