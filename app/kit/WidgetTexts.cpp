#include "app/kit/WidgetTexts.h"

#include <QByteArray>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"

namespace kit {
namespace {

QByteArray AsBytes(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void FillChoices(QComboBox* box, const std::vector<std::string>& values) {
  box->clear();
  box->addItem(Msg(1011));
  for (const std::string& value : values) box->addItem(FromCp1252(value), AsBytes(value));
  box->setCurrentIndex(0);
}

void ShowStored(QComboBox* box, const std::string& stored) {
  const QByteArray bytes = AsBytes(stored);
  for (int i = 1; i < box->count(); ++i) {
    if (box->itemData(i).toByteArray() == bytes) {
      box->setCurrentIndex(i);
      return;
    }
  }
  box->setEditText(FromCp1252(stored));
}

bool ChoiceBytes(const QComboBox* box, const std::string& stored, std::string* bytes) {
  const int index = ItemIndex(box);
  if (index > 0) {
    const QByteArray data = box->itemData(index).toByteArray();
    *bytes = std::string(data.constData(), static_cast<size_t>(data.size()));
    return true;
  }
  if (box->currentText() == FromCp1252(stored)) {
    *bytes = stored;
    return true;
  }
  return ToCp1252(box->currentText(), bytes);
}

QString MemoText(const std::string& stored) {
  QString text = FromCp1252(stored);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

QString MemoContent(const QPlainTextEdit* memo) {
  QString text = memo->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text;
}

QString ListText(const std::string& stored) {
  QString text = MemoText(stored);
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

bool MemoBytes(const QString& memoText, const std::string& stored, std::string* bytes) {
  if (memoText == MemoText(stored)) {
    *bytes = stored;
    return true;
  }
  return ToCp1252(ToStoredLineBreaks(memoText), bytes);
}

bool WithoutNul(QWidget* window, const QString& text) {
  if (!text.contains(QChar(0))) return true;
  Prompts::current().message(window, Msg(1067));
  return false;
}

bool StorableChoice(QWidget* window, const QComboBox* box) {
  const QString text = box->currentText();
  if (!WithoutNul(window, text)) return false;
  const QLineEdit* edit = box->lineEdit();
  if (!edit || text.size() < edit->maxLength()) return true;
  Prompts::current().message(window, Msg(1068).arg(edit->maxLength() - 1));
  return false;
}

bool StoredText(QWidget* window, const QString& text, int refusal, std::string* bytes) {
  if (!WithoutNul(window, text)) return false;
  if (ToCp1252(text, bytes)) return true;
  Prompts::current().message(window, Msg(refusal));
  return false;
}

}  // namespace kit
