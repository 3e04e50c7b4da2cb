// One helper program at a time, started beside the game and left to run on its own (watching a
// kept replay in its own window while the menu waits). Desktop only: a browser has no processes,
// and there nothing is started.
#pragma once

#include <string>
#include <vector>

// Starts this very program with `arguments`. False with the reason when it cannot, or when one
// started earlier is still running.
bool StartOwnProgram(const std::vector<std::string>& arguments, std::string* why);
// Whether the program started last is still running; reaps it once it has ended.
bool OwnProgramRunning();
