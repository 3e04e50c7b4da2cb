// Decoding of sound files into interleaved PCM for the audio device: uncompressed PCM WAV
// and Ogg Vorbis, chosen by the file name's extension.
#pragma once

#include <cstdio>

#include "runtime/string.h"

// The lower-cased text after the path's last dot, or empty when there is no dot or the last
// dot belongs to a folder name ("sounds.old/boom" has no extension).
String SoundFileExtension(const String& path);

// Loads a ".wav" or ".ogg" file (a plain path or a "vantor://" one). Returns a block from the C
// allocator holding `length` frames of `channels` interleaved samples, `bytesPerSample` bytes
// each (1 = unsigned 8-bit, 2 = signed little-endian 16-bit), at `rate` frames per second.
// Returns null on any failure; the out-parameters are written only on success. Files of any
// other extension are never opened. Only layouts the audio device can play are returned:
// 1 or 2 channels, 8 or 16 bits, a positive rate.
unsigned char* loadSound(const String& path, int* length, int* channels, int* bytesPerSample,
                         int* rate);

// Releases a block returned by loadSound.
void unloadSound(unsigned char* pcm);

// The two readers on an already open file, which they leave open. Exposed so tests and
// fuzzers can feed them bytes from memory.
unsigned char* loadWavFile(FILE* file, int* length, int* channels, int* bytesPerSample, int* rate);
unsigned char* loadOggFile(FILE* file, int* length, int* channels, int* bytesPerSample, int* rate);
