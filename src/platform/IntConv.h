#pragma once
// Text to 32-bit integer, the way the program reads every number: leading
// blanks (code 32 only), at most one sign, then decimal digits or a
// hexadecimal number after $, x, X, 0x or 0X (at most eight significant
// digits, taken as a 32-bit pattern), and nothing after the digits.
#include <QString>
#include <optional>

std::optional<qint32> TryStrToInt(const QString& text);

// As TryStrToInt, but raises ConvertError "'text' is not a valid integer value".
qint32 StrToInt(const QString& text);

// The signed decimal form: "-" for negatives, no leading zeros, no "+".
QString IntToStr(qint32 value);
