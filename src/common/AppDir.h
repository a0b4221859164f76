#pragma once
#include <QString>

// The directory of the running program, ending in "/". The settings file
// lies there; the current directory plays no part.
QString GetAppDir();
