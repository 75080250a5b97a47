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

// Every number the table holds, in ascending order (for translation checks).
const int* Numbers(int* count);

}  // namespace messages
