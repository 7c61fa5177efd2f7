#pragma once

#include <QString>

// The forms texts are searched in, so that a name is found however it was typed.
namespace SearchKey
{

// A typed word as it is compared: lower case, accents and letters like "ł", "ø" and "ß"
// folded to their plain Latin ("lukasz", "muller", "strasse"), "ё" as "е", and only
// letters and digits kept ("obrien" for "O'Brien", "12041978" for "12.04.1978").
QString ofWord(const QString &word);

// A text to be searched, its lines kept apart: each line folded as a word is, then,
// for lines that hold letters, as it reads when typed in the other keyboard layout
// (Latin and Russian), and Cyrillic lines also as transliterated, so that "Bdfyjd" and
// "ivanov" both find "Иванов" and "Шмфт" finds "Ivan". Lines end with '\n' but the last.
QString ofText(const QString &text);
// The same appended to key: a key reused from text to text keeps its room.
void appendText(QString &key, const QString &text);

} // namespace SearchKey
