// Every message box, file dialog and modal window goes through Prompts, so
// that tests can script the user's answers on the real windows.
#pragma once

#include <QString>

class QDialog;
class QWidget;

class Prompts {
 public:
  virtual ~Prompts() = default;

  // The plain message box with one OK button.
  virtual void message(QWidget* parent, const QString& text);

  // An open-file dialog starting in folder with fileName (may be empty)
  // selected. filter is a Qt filter (see qtFilter). Returns the chosen
  // native path, or an empty text when the user cancelled.
  virtual QString openFile(QWidget* parent, const QString& filter, const QString& folder,
                           const QString& fileName);

  // A save-file dialog in folder proposing proposedName; no overwrite
  // question. Returns the confirmed native path exactly, or empty when
  // cancelled.
  virtual QString saveFile(QWidget* parent, const QString& proposedName, const QString& filter,
                           const QString& folder);

  // Shows a modal window and returns its result code.
  virtual int execDialog(QDialog* dialog);

  // The prompts in use: the real ones unless a test installed others.
  static Prompts& current();
  // Installs prompts (not owned); nullptr restores the real ones.
  static void install(Prompts* prompts);

  // "Description (*.ext)|*.EXT[|...]" as a Qt filter that matches the
  // patterns in either case: "Description (*.ext *.EXT)".
  static QString qtFilter(const QString& windowsFilter);
};
