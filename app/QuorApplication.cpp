#include "app/QuorApplication.h"

#include <QMetaObject>

#include <exception>

#include "app/kit/Prompts.h"

QuorApplication::QuorApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuorApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    Prompts::current().message(nullptr, QString::fromLocal8Bit(error.what()));
  } catch (...) {
    Prompts::current().message(nullptr, QStringLiteral("Unknown error"));
  }
  return false;
}

void RequestTerminate() {
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}
