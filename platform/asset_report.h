// One console line for an image, sound or tune the game had to go without, naming the file and
// why, so a damaged data folder can be told from a blank spot on the screen.
#pragma once

#include <string>

#include "runtime/string.h"

// Prints "Cannot load <file>: <reason>" the first time `path` fails; later failures of the same
// file (the loader runs again after a resize) say nothing. A "vantor://" scheme is shown as the
// folder it stands for ("data/menu.png").
void ReportAssetFailure(const String& path, const std::string& reason);

// The reason for a file that could not be opened, from errno as fopen left it.
std::string OpenFailureReason(int error);
