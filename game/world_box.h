// The World box: the world's score board on the main menu. Its globe button sits beside the
// badge button while a board is in use; the box it opens shows the top 10 of each difficulty,
// the rank the board gave this player's last posted game, and the player's name, which a click
// on it lets the player type (Enter keeps it, Escape leaves it as it was).
#pragma once

class MyApp;

namespace vexmo {

void WorldButton(MyApp& app, int slide);
void WorldBox(MyApp& app);
bool WorldBoxOpen();
void CloseWorldBox();
// While the name is being typed, the back keys edit it instead of closing the box.
bool WorldNameEditing();

}  // namespace vexmo
