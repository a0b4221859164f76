#pragma once
#include "platform/Colour.h"

// The six board colours, held for the whole run and read when something is
// built: board background, grid lines, group box background, group-number
// text, timer text while running, timer text while not running.
struct BoardColours {
    Colour BackColor = 0;
    Colour LineColor = 0;
    Colour PnlColor = 0;
    Colour NoColor = 0;
    Colour IngColor = 0;
    Colour WaitColor = 0;

    bool operator==(const BoardColours&) const = default;
};
