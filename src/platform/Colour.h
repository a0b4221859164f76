#pragma once
// Colour values as the settings file stores them: 0x00BBGGRR, or a system
// colour with the high byte 0xFF and the system colour index in the low
// byte (0xFF00000F is the button face). Stored as a signed 32-bit integer.
#include <QColor>

using Colour = qint32;

constexpr Colour RgbColour(int r, int g, int b)
{
    return Colour(quint32(r & 0xFF) | (quint32(g & 0xFF) << 8) | (quint32(b & 0xFF) << 16));
}

constexpr Colour clBtnFace = Colour(0xFF00000Fu);
constexpr Colour clBlack = 0x000000;
constexpr Colour clLime = 0x00FF00;
constexpr Colour clGreen = 0x008000;
constexpr Colour clBlue = 0xFF0000;

// The screen colour of a value; system colours come from the application
// palette. Values outside both forms give their low 24 bits as RGB.
QColor ToQColor(Colour c);
