// Text to number conversions with the program's error texts.
#pragma once

#include <QString>

// An optionally signed decimal integer, blanks not allowed; anything else raises
// EConvertError naming the text. Hexadecimal written with a leading "$" or "0x" is accepted,
// as the settings files of older installations may carry it.
int StrToInt(const QString& text);

// As StrToInt, but gives `fallback` instead of raising.
int StrToIntDef(const QString& text, int fallback);
