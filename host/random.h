// The program's one random number generator (module random). The game and the music player
// step the same Seed, so the whole sequence is reproducible from it.
#pragma once

extern int Seed;  // initially 1234 (set by initGlobals)

// One generator step: seed * 1664525 + 1013904223, modulo 2^32.
int NextSeed(int seed);

float Rnd();                       // advances Seed; a value in [0, 1)
float Rnd(float low, float high);  // low + (high - low) * Rnd()
float Rnd(float range);            // Rnd() * range
