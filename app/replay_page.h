// Replays named in the page's address (the browser build): "?replay=URL" watches one in the
// canvas and then goes back to the game, "?verify=URL" verifies one and shows the verdict. The
// page fetched the file into kFetchedReplay before main ran (web/pre.js).
#pragma once

class Platform;

constexpr const char* kFetchedReplay = "/tmp/fetched.vxr";

// Runs what the address asks for on `page` and returns main's status, or -1 when the address
// names no replay or its file did not arrive (the page has said why): the game then runs as
// usual.
int RunAddressReplay(int argc, char** argv, Platform& page);
