#include "app/QuorApplication.h"

#include <QDir>
#include <QIcon>
#include <QMetaObject>

#include <exception>

#include "app/kit/DatabaseWaitNotice.h"
#include "app/kit/FailureReport.h"

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
    // Our handlers report their own failures (kit::Reported): one that gets
    // here has unwound through Qt's frames, which skip their cleanup. It is
    // still shown rather than ending the program, and named as the fault it
    // is.
    qCritical("an exception left a handler of %s", receiver->metaObject()->className());
    kit::ReportFailure(nullptr, error);
  }
  return false;
}

void RequestTerminate() {
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}
