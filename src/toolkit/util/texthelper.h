#pragma once

#include <QString>

// Text helpers, free functions.
namespace TextHelper
{

// Prepends `padding` until the text is at least `width` long; never cuts a longer text.
QString pad(const QString &text, const QString &padding, int width);
// The decimal number padded with "0" in front, minus sign included: -5 to width 3 is "0-5".
QString zeroPad(qint64 number, int width);
// Cyrillic letters to Latin ("Щука" -> "Schuka"); every other character stays.
QString translit(const QString &text);
// The text as it may be shown: every control character and every invisible format
// character (bidirectional overrides and isolates, zero-width spaces, the byte-order
// mark) written visibly as <U+XXXX>, so that a stored name cannot disguise itself or
// what stands beside it. The joiners that scripts need (U+200C, U+200D) stay.
QString visibleText(const QString &text);
// The text visibleText was given: each mark of a character it marks back to that character
// (a "<U+0041>" typed by someone stays as it is).
QString storedText(const QString &shown);

} // namespace TextHelper
