// The numbered texts the tool shows to the user, in Italian, the language
// every text is written in first. Texts are read by number when needed; the
// windows translate them into the interface language (context "Messages").
#pragma once

namespace messages {

// First and last numbers of the table. Numbers past 1052 are the texts
// this tool added for situations the original table had no words for.
constexpr int kFirst = 1000;
constexpr int kLast = 1052;

// The Italian text (UTF-8) of a number, or nullptr for a number the table
// does not hold.
const char* Text(int number);

// The texts that say what a failure of the database means (kit's failure
// report picks them by SQLite's result code).
constexpr int kDatabaseInUse = 1121;
constexpr int kDatabaseCannotOpen = 1122;
constexpr int kDatabaseReadWriteError = 1123;
constexpr int kKeyFull = 1124;
constexpr int kDatabaseReadOnly = 1125;
constexpr int kDatabaseDamaged = 1126;

// Every number the table holds, in ascending order (for translation checks).
const int* Numbers(int* count);

}  // namespace messages
