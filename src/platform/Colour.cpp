#include "platform/Colour.h"

#include <QApplication>
#include <QPalette>

namespace {
QColor systemColour(int index)
{
    const QPalette pal = QApplication::palette();
    switch (index) {
    case 0: return pal.color(QPalette::Button);            // scroll bar
    case 1: return pal.color(QPalette::Window);            // desktop
    case 2: return pal.color(QPalette::Highlight);         // active caption
    case 3: return pal.color(QPalette::Mid);               // inactive caption
    case 4: return pal.color(QPalette::Window);            // menu
    case 5: return pal.color(QPalette::Base);              // window
    case 6: return pal.color(QPalette::Shadow);            // window frame
    case 7: return pal.color(QPalette::WindowText);        // menu text
    case 8: return pal.color(QPalette::WindowText);        // window text
    case 9: return pal.color(QPalette::HighlightedText);   // caption text
    case 10: case 11: return pal.color(QPalette::Button);  // borders
    case 12: return pal.color(QPalette::Dark);             // workspace
    case 13: return pal.color(QPalette::Highlight);
    case 14: return pal.color(QPalette::HighlightedText);
    case 15: return pal.color(QPalette::Button);           // button face
    case 16: return pal.color(QPalette::Dark);             // button shadow
    case 17: return pal.color(QPalette::Disabled, QPalette::Text);
    case 18: return pal.color(QPalette::ButtonText);
    case 19: return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 20: return pal.color(QPalette::Light);            // button highlight
    case 21: return pal.color(QPalette::Shadow);           // dark shadow
    case 22: return pal.color(QPalette::Midlight);         // 3D light
    case 23: return pal.color(QPalette::ToolTipText);
    case 24: return pal.color(QPalette::ToolTipBase);
    default: return pal.color(QPalette::Window);
    }
}
} // namespace

QColor ToQColor(Colour c)
{
    const quint32 v = quint32(c);
    if ((v >> 24) == 0xFF)
        return systemColour(int(v & 0xFF));
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}
