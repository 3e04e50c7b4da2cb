#include "music/kuv_player.h"
#include "music/kuv_tables.h"

String KuvPlayer::Kuv_GetChord(int n) {
    return T(kuv::ChordLetters(n));
}

float KuvPlayer::GetPitch(int note) {
    return kuv::NoteRate(note);
}

float KuvPlayer::GetPitch_Alpha(int letter) {
    return kuv::NoteRate(kuv::NoteOfLetter(letter));
}
