// Prompts with the user's answers written by the test. Installed for its
// lifetime. Every message shown is recorded; file dialogs take their answers
// from queues (an empty answer is a cancel); modal windows are handed to the
// next dialog handler, which acts on the open window and returns its result.
// A prompt without a scripted answer fails the test and counts as cancelled.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "app/kit/Prompts.h"

class ScriptedPrompts : public Prompts {
 public:
  using DialogHandler = std::function<int(QDialog*)>;

  ScriptedPrompts();
  ~ScriptedPrompts() override;

  void message(QWidget* parent, const QString& text) override;
  QString openFile(QWidget* parent, const QString& filter, const QString& folder,
                   const QString& fileName) override;
  QString saveFile(QWidget* parent, const QString& proposedName, const QString& filter,
                   const QString& folder) override;
  int execDialog(QDialog* dialog) override;

  void answerOpen(const QString& path) { openAnswers.push_back(path); }
  void answerSave(const QString& path) { saveAnswers.push_back(path); }
  void answerDialog(DialogHandler handler) { dialogHandlers.push_back(std::move(handler)); }
  // Answers a TMsgFm question with 1 (OK) or 2 (Cancel), recording its text.
  void answerQuestion(int result);

  QStringList messages;       // texts of the message boxes, in order
  QStringList questions;      // texts of TMsgFm questions answered
  QStringList openFilters;    // filters of the open dialogs shown
  QStringList openFolders;    // folders they started in
  QStringList openNames;      // file names they started with
  QStringList saveProposals;  // proposed names of the save dialogs shown
  QStringList saveFilters;
  QStringList saveFolders;
  std::deque<QString> openAnswers;
  std::deque<QString> saveAnswers;
  std::deque<DialogHandler> dialogHandlers;
  // Called for every message box as it is shown (optional).
  std::function<void(const QString&)> onMessage;
};
