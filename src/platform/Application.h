#pragma once
// Sets up the application the way the program expects the desktop to look:
// the classic (unthemed) control style, dialog buttons in Chinese, fonts
// requested by their Chinese-system names mapped to installed faces, and
// the application title used by the error box.
#include <QString>

class QApplication;

void SetupApplication(QApplication& app, const QString& title);

// A font face requested by name, sized in pixels (the layout is in pixels
// for 96 dots per inch: 12 px, 54 pt = 72 px, 36 pt = 48 px).
class QFont;
QFont PixelFont(const QString& family, int pixels, bool bold = false);

// Installs the substitutions of the requested faces by installed ones.
void InstallFontSubstitutions();

// True when a display (or a headless platform) is there to show windows on.
bool DisplayAvailable();
