#include "app/Localisation.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QTranslator>

QStringList Localisation::Languages() {
  return {QStringLiteral("it"), QStringLiteral("en_US"), QStringLiteral("pt_BR")};
}

QString Localisation::NativeName(const QString& language) {
  if (language == QLatin1String("it")) return QStringLiteral("Italiano");
  if (language == QLatin1String("en_US")) return QStringLiteral("English (United States)");
  if (language == QLatin1String("pt_BR")) return QString::fromUtf8("Português (Brasil)");
  return QString();
}

Localisation& Localisation::instance() {
  static Localisation* localisation = new Localisation;
  return *localisation;
}

void Localisation::AttachMenu(QMenu* languages) {
  auto* group = new QActionGroup(languages);
  group->setExclusive(true);
  for (const QString& language : Languages()) {
    QAction* entry = languages->addAction(NativeName(language));
    entry->setObjectName(QStringLiteral("Language_") + language);
    entry->setCheckable(true);
    entry->setChecked(language == current_);
    entry->setData(language);
    group->addAction(entry);
    connect(entry, &QAction::triggered, this, [this, language] { Switch(language); });
  }
  groups_.push_back(group);
  connect(group, &QObject::destroyed, this, [this, group] {
    groups_.erase(std::remove(groups_.begin(), groups_.end(), group), groups_.end());
  });
}

void Localisation::RemoveTranslators() {
  for (auto& translator : translators_) QCoreApplication::removeTranslator(translator.get());
  translators_.clear();
}

namespace {

// The translators of a language: our texts (Italian is their source) and
// Qt's own dialogs and buttons (English is theirs).
QStringList TranslationFiles(const QString& language) {
  if (language == QLatin1String("it")) return {QStringLiteral(":/i18n/qtbase_it")};
  if (language == QLatin1String("en_US")) return {QStringLiteral(":/i18n/quorvane_en_US")};
  return {QStringLiteral(":/i18n/quorvane_pt_BR"), QStringLiteral(":/i18n/qtbase_pt_BR")};
}

}  // namespace

void Localisation::Initialise() { Install(current_); }

bool Localisation::Switch(const QString& language) {
  if (!Languages().contains(language)) return false;
  if (language != current_ && !Install(language)) return false;
  for (QActionGroup* group : groups_) {
    for (QAction* entry : group->actions()) entry->setChecked(entry->data().toString() == current_);
  }
  return true;
}

bool Localisation::Install(const QString& language) {
  std::vector<std::unique_ptr<QTranslator>> loaded;
  for (const QString& file : TranslationFiles(language)) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file)) return false;
    loaded.push_back(std::move(translator));
  }
  RemoveTranslators();
  translators_ = std::move(loaded);
  for (auto& translator : translators_) QCoreApplication::installTranslator(translator.get());
  current_ = language;
  return true;
}
