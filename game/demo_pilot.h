// The autopilot of "vexmo --demo": it looks at the game the way a player looks at the screen and
// answers with the pointer and the left button only. On the menu it glides to the normal
// difficulty button and clicks it; in play it points at the microbe nearest to the ship and
// holds the button; a game that lasts three minutes it quits through the pause menu. After the
// game over it waits for the menu and starts the next game.
#pragma once

#include <string>

#include "platform/session_platform.h"

class MyApp;

class DemoPilot final : public InputPilot {
public:
    void Steer(int windowWidth, int windowHeight, double* x, double* y, bool* buttonHeld) override;

    // A demo game ends after this many updates at the latest, through the pause menu's quit
    // button, so that long runs keep going through the whole cycle of menu, play and game over.
    static constexpr int kLongestGame = 3 * 60 * 60;
    void SetLongestGame(int updates) { longestGame_ = updates; }
    // The difficulty button it clicks: 1 easy, 2 normal (the default), 3 hard.
    void SetDifficulty(int difficulty) { difficulty_ = difficulty; }

    int GamesStarted() const { return gamesStarted_; }
    int GamesFinished() const { return gamesFinished_; }
    // The collector's live bytes when the menu first appeared; -1 before that.
    int HeapAtStart() const { return heapAtStart_; }
    // One line for the end of a session: games and the collector's heap then and now.
    std::string Summary() const;

private:
    void OnMenu(const MyApp& game, double* x, double* y, bool* held);
    void InPlay(const MyApp& game, double* x, double* y, bool* held);
    void InPauseMenu(const MyApp& game, double* x, double* y, bool* held);
    // Glides to a virtual position, then presses and releases there; retries if nothing came of
    // it. Progress is counted in clickTicks_, which a new aim resets.
    void ClickAt(const MyApp& game, float virtualX, float virtualY, double* x, double* y,
                 bool* held);
    // False when the dish is empty; otherwise the virtual position of the microbe to shoot.
    bool PickTarget(const MyApp& game, float* targetX, float* targetY);

    int longestGame_ = kLongestGame;
    int difficulty_ = 2;
    int clickTicks_ = 0;
    bool quitting_ = false;
    int playTicks_ = 0;
    bool wasPlaying_ = false;
    bool sawDying_ = false;
    int targetColumn_ = -1;
    int targetRow_ = -1;
    int gamesStarted_ = 0;
    int gamesFinished_ = 0;
    int heapAtStart_ = -1;
};
