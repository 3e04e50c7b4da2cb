#pragma once
// The service's settings, from the environment ($VEXMO_SCORES_*) and the command line, which
// wins.
#include <string>

#include "scores/service.h"

namespace scores {

struct Options {
    std::string host = "127.0.0.1";
    int port = 8787;
    std::string db = "./scores.db";
    int db_connections = 8;
    ServiceOptions service;
};

// False with `error` set on a bad value or an unknown option; `help` for --help.
bool ReadOptions(int argc, char** argv, Options& out, std::string& error, bool& help);
const char* OptionsHelp();

}  // namespace scores
