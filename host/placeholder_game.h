// TEMPORARY: an empty game that only sets the update rate, used until the real game object
// exists. Delete together with placeholder_game.cpp.
#pragma once

class App;

App* NewPlaceholderGame();
