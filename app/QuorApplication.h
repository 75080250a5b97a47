// The application object: it names the program, also to the window system
// (QUOR_APP_ID, the name of its .desktop file), and gives every window the
// program's icon. The handlers report their own failures (kit::Reported);
// an exception that still leaves one is shown too, as a last resort, and
// reported as a fault on stderr (qCritical). While it lives, a statement
// that waits for another program's lock shows the wait cursor and a notice.
#pragma once

#include <QApplication>

class QuorApplication : public QApplication {
 public:
  QuorApplication(int& argc, char** argv);
  ~QuorApplication() override;
  bool notify(QObject* receiver, QEvent* event) override;
};

// Asks the application to terminate once its event loop runs (also from a
// window's constructor, before the loop has started).
void RequestTerminate();
