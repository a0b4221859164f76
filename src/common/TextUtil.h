#pragma once
#include <QString>

// True when every character is one of "0" to "9" (the empty text passes).
bool IsAllDigits(const QString& text);

// Removes every leading and trailing character whose code is 32 or less.
QString TrimControls(const QString& text);
