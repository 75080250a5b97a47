#include "app/kit/Prompts.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

namespace {
Prompts g_realPrompts;
Prompts* g_prompts = nullptr;
}  // namespace

void Prompts::message(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                  parent);
  box.exec();
}

QString Prompts::openFile(QWidget* parent, const QString& filter, const QString& folder,
                          const QString& fileName) {
  return QFileDialog::getOpenFileName(parent, QString(), QDir(folder).filePath(fileName), filter);
}

QString Prompts::saveFile(QWidget* parent, const QString& proposedName, const QString& filter,
                          const QString& folder) {
  return QFileDialog::getSaveFileName(parent, QString(), QDir(folder).filePath(proposedName),
                                      filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

int Prompts::execDialog(QDialog* dialog) { return dialog->exec(); }

Prompts& Prompts::current() { return g_prompts ? *g_prompts : g_realPrompts; }

void Prompts::install(Prompts* prompts) { g_prompts = prompts; }

QString Prompts::qtFilter(const QString& windowsFilter) {
  const QStringList parts = windowsFilter.split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    description.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)\\s*$")));
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      for (const QString& variant : {p.toLower(), p.toUpper()}) {
        if (!patterns.contains(variant)) patterns << variant;
      }
    }
    filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}
