#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include "app/kit/Fmmsg.h"

ScriptedPrompts::ScriptedPrompts() { Prompts::install(this); }

ScriptedPrompts::~ScriptedPrompts() { Prompts::install(nullptr); }

void ScriptedPrompts::message(QWidget*, const QString& text) {
  messages << text;
  if (onMessage) onMessage(text);
}

QString ScriptedPrompts::openFile(QWidget*, const QString& filter, const QString& folder,
                                  const QString& fileName) {
  openFilters << filter;
  openFolders << folder;
  openNames << fileName;
  if (openAnswers.empty()) {
    ADD_FAILURE() << "unexpected open dialog";
    return QString();
  }
  QString answer = openAnswers.front();
  openAnswers.pop_front();
  return answer;
}

QString ScriptedPrompts::saveFile(QWidget*, const QString& proposedName, const QString& filter,
                                  const QString& folder) {
  saveProposals << proposedName;
  saveFolders << folder;
  saveFilters << filter;
  if (saveAnswers.empty()) {
    ADD_FAILURE() << "unexpected save dialog";
    return QString();
  }
  QString answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

int ScriptedPrompts::execDialog(QDialog* dialog) {
  if (dialogHandlers.empty()) {
    ADD_FAILURE() << "unexpected modal window " << dialog->objectName().toStdString();
    return 2;
  }
  DialogHandler handler = std::move(dialogHandlers.front());
  dialogHandlers.pop_front();
  dialog->show();
  int result = handler(dialog);
  dialog->hide();
  return result;
}

void ScriptedPrompts::answerQuestion(int result) {
  answerDialog([this, result](QDialog* dialog) {
    if (auto* question = qobject_cast<TMsgFm*>(dialog)) questions << question->message();
    return result;
  });
}
