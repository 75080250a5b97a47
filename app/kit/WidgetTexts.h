// The windows' side of the Windows-1252 boundary (DbText.h converts): list
// entries keep the stored bytes beside the text they show, so that a text
// the user left alone is written back byte for byte; memos show stored line
// breaks as LF; a text that cannot be stored is refused with a message.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QPlainTextEdit;
class QWidget;

namespace kit {

// Clears the box, adds "<Seleziona>" and the values (stored bytes kept with
// each entry) and selects the first entry. No handler runs.
void FillChoices(QComboBox* box, const std::vector<std::string>& values);

// Shows a stored text in the box: selects the entry holding those bytes,
// or, when none does, puts the text into the edit field.
void ShowStored(QComboBox* box, const std::string& stored);

// The bytes to store for what the box shows: the entry's own bytes when the
// text equals an entry, stored when the text is stored's text, else the
// text encoded. False when Windows-1252 cannot hold the text.
bool ChoiceBytes(const QComboBox* box, const std::string& stored, std::string* bytes);

// A description as the memo shows it: line breaks as single LFs.
QString MemoText(const std::string& stored);
// What a memo holds, exactly as typed (no blank stands in for a
// non-breaking space), lines separated by LF.
QString MemoContent(const QPlainTextEdit* memo);
// A single-line form for the list.
QString ListText(const std::string& stored);
// The bytes to store for a memo's text: stored itself when the user left
// the text as MemoText(stored) showed it, else the text with CR LF line
// breaks, encoded. False when Windows-1252 cannot hold the text.
bool MemoBytes(const QString& memoText, const std::string& stored, std::string* bytes);

// Whether the database can hold text at all: its texts end at a NUL
// character. When it cannot, tells the user (1067) and returns false.
bool WithoutNul(QWidget* window, const QString& text);

// Whether what the box's edit field shows can be stored whole: no NUL
// (1067), and shorter than the field's maximum length, since the field
// cuts a longer text there before anyone sees it (1068). Tells the user
// and returns false when not.
bool StorableChoice(QWidget* window, const QComboBox* box);

// text as Windows-1252 bytes for the database; a NUL is refused as in
// WithoutNul; when Windows-1252 cannot hold it, tells the user message
// refusal and returns false.
bool StoredText(QWidget* window, const QString& text, int refusal, std::string* bytes);

}  // namespace kit
