// The window's icon: the game's own art at several sizes, read from the data folder as
// "icons/vexmo_<N>.png". Missing or unusable files are skipped without a word; with none at all
// the window simply has no icon.
#pragma once

#include <vector>

#include "platform/platform.h"

// The sizes looked for, smallest first.
constexpr int kWindowIconSizes[] = {16, 32, 48, 64, 128, 256};

// Every icon picture that could be read: square RGBA files of exactly their named size.
std::vector<IconImage> LoadWindowIcons();
// Gives the window whatever LoadWindowIcons found (nothing when it found nothing).
void ApplyWindowIcon(Platform& platform);
