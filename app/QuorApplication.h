// The application object: an exception that leaves an event handler is
// shown in a message box and the program goes on.
#pragma once

#include <QApplication>

class QuorApplication : public QApplication {
 public:
  QuorApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Asks the application to terminate once its event loop runs (also from a
// window's constructor, before the loop has started).
void RequestTerminate();
