// Fixed tables of the music player: note rates, the keyboard-letter note names used by chord
// progressions, and the progressions themselves. Pure functions, no player state.
#pragma once

namespace kuv {

// Playback rate of note 1..32 (note 13 plays the sample at its recorded speed); 0 otherwise.
float NoteRate(int note);

// The note a keyboard letter names (z = 1 ... ] = 32), or 0 when the character names none.
int NoteOfLetter(int letter);

// Chord progression n as plain letters; unknown numbers give the default progression.
const char* ChordLetters(int n);

}  // namespace kuv
