// Texts that cross the boundary between the windows and the key's database,
// Systab.ini or the FileDesc files: Windows-1252 bytes there, QString here.
#pragma once

#include <QString>
#include <string>

// The Windows-1252 bytes as a QString (never fails: every byte has a meaning
// or maps to its own code point).
QString FromCp1252(const std::string& bytes);

// The QString as Windows-1252 bytes. Returns false, leaving *bytes alone,
// when the text holds a character that Windows-1252 cannot hold.
bool ToCp1252(const QString& text, std::string* bytes);

// Multi-line texts are stored with CR LF between lines; memos give LF.
QString ToStoredLineBreaks(const QString& memoText);
