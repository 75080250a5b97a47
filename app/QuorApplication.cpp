#include "app/QuorApplication.h"

#include <QMetaObject>

#include <exception>

#include "app/kit/DatabaseWaitNotice.h"
#include "app/kit/FailureReport.h"
#include "app/kit/Prompts.h"

QuorApplication::QuorApplication(int& argc, char** argv) : QApplication(argc, argv) {
  kit::InstallDatabaseWaitNotice();
}

QuorApplication::~QuorApplication() { DbConnection::setWaitHook(nullptr); }

bool QuorApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    Prompts::current().message(nullptr, kit::FailureReport(error));
  } catch (...) {
    Prompts::current().message(nullptr, QStringLiteral("Unknown error"));
  }
  return false;
}

void RequestTerminate() {
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}
