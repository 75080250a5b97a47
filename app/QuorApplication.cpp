#include "app/QuorApplication.h"

#include <QDir>
#include <QIcon>
#include <QMetaObject>

#include <exception>

#include "app/kit/DatabaseWaitNotice.h"
#include "app/kit/FailureReport.h"
#include "app/kit/Prompts.h"

QuorApplication::QuorApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("ZKM Quorvane Maintenance Tools"));
  setDesktopFileName(QStringLiteral(QUOR_APP_ID));
  // Every size the build drew from the icon's SVG, so that no size is scaled.
  QIcon icon;
  for (const QFileInfo& png : QDir(QStringLiteral(":/appicon")).entryInfoList(QDir::Files))
    icon.addFile(png.filePath());
  setWindowIcon(icon);
  kit::InstallDatabaseWaitNotice();
}

QuorApplication::~QuorApplication() { DbConnection::setWaitHook(nullptr); }

bool QuorApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    Prompts::current().message(nullptr, kit::FailureReport(error));
  } catch (...) {
    // The general error report: no exception may end the program from an
    // event handler, whatever threw it.
    Prompts::current().message(nullptr, QStringLiteral("Unknown error"));
  }
  return false;
}

void RequestTerminate() {
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}
