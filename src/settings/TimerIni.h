#pragma once
// The settings file timer.ini beside the program: section SYS holds the six
// board colours, section Timer the last stopped time of every group number.
#include "platform/Colour.h"
#include "platform/IniFile.h"
#include "settings/BoardColours.h"

#include <QString>

inline const QString SysSection = QStringLiteral("SYS");
inline const QString TimerSection = QStringLiteral("Timer");

// timer.ini in the program directory.
QString TimerIniFileName();

// The defaults of the six colours when a key is missing or unreadable.
BoardColours DefaultColours();

// Reads the six colours in the order LineColor, BackColor, IngColor,
// NoColor, WaitColor, PnlColor; each missing or unreadable one is its default.
BoardColours ReadColours(const IniFile& ini);

// Writes the six colours in the order BackColor, LineColor, IngColor,
// NoColor, WaitColor, PnlColor. The first refused write raises.
void WriteColours(IniFile& ini, const BoardColours& c);

// Records a stopped group's time: key = the group number in decimal.
void WriteResult(IniFile& ini, qint32 group, const QString& time);
