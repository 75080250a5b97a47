// The interface language. Fills the Languages menu with one checkable entry
// per language (each under its own name) and switches every window's texts
// by installing the language's translators: the windows re-translate on the
// language-change event. Italian is the source language: choosing it removes
// the translators. The choice lasts for the run.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <vector>

class QMenu;
class QTranslator;
class QActionGroup;

class Localisation : public QObject {
  Q_OBJECT

 public:
  // The languages: "it", "en_US", "pt_BR".
  static QStringList Languages();
  // Each language's name, in that language.
  static QString NativeName(const QString& language);

  // The application's one localisation component.
  static Localisation& instance();

  // Installs the start language's translators (Qt's own Italian texts).
  void Initialise();

  // Fills the menu with the language entries (Italian checked at start).
  void AttachMenu(QMenu* languages);

  // Switches to a language; false for one the program does not carry.
  bool Switch(const QString& language);
  const QString& current() const { return current_; }

 private:
  Localisation() = default;
  void RemoveTranslators();
  bool Install(const QString& language);

  QString current_ = QStringLiteral("it");
  std::vector<std::unique_ptr<QTranslator>> translators_;
  std::vector<QActionGroup*> groups_;
};
