#!/usr/bin/env bash
# The round's music in the real program: OpenAL Soft's "wave" backend records the whole mix
# while a round is started from the menu and left running for 20 seconds. The recording must be
# silent-free after the tune starts, carry several distinct pitches and never clip.
# The figures are printed; the recording is kept as $VEXMO_BINARY_DIR/e2e-shots/music.wav.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup

record_seconds=${VEXMO_RECORD_SECONDS:-20}
# The wave backend writes 16-bit stereo at 44.1 kHz, in real time, to the named file.
cat >"$work/wave.conf" <<EOF
[general]
sample-type = int16
frequency = 44100
[wave]
file = $work/music.wav
EOF
export ALSOFT_DRIVERS=wave ALSOFT_CONF="$work/wave.conf"

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'; }

started=$(now)
e2e_start
# Assets load in half a second and the menu slides in over another half; then the hardest
# difficulty button (60% of the width, 70% of the height) starts a round, whose tune starts 90
# updates later. A slow machine (or a sanitizer build) may need a second click.
wait_for_menu
tune_at=""
for _ in 1 2 3; do
  click_at 384 336
  for _ in $(seq 60); do
    if grep -q '^Playing  ' "$work/out.txt"; then tune_at=$(seconds_since "$started"); break 2; fi
    sleep 0.1
  done
done
[ -n "$tune_at" ] || fail "no tune was started: $(head -c 2000 "$work/out.txt")"
sleep "$record_seconds"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended while playing"

# A close request ends the program normally, which finishes the recording's header.
if have_wm; then close_game; else stop_game; fi
echo "tune: $(grep -m1 '^Playing  ' "$work/out.txt")"
grep -q '^Music File : ' "$work/out.txt" || fail "the tune was never loaded"

[ -s "$work/music.wav" ] || fail "nothing was recorded"
sox --ignore-length "$work/music.wav" "$shots/music.wav"
length=$(soxi -D "$shots/music.wav")

# The tune loads over about 24 frames and waits 100 ms more: measure from one second after it
# was started to half a second before the end.
from=$(awk -v t="$tune_at" 'BEGIN { printf "%.2f", t + 1 }')
span=$(awk -v l="$length" -v f="$from" 'BEGIN { printf "%.2f", l - f - 0.5 }')
awk -v s="$span" 'BEGIN { exit !(s >= 10) }' || fail "only ${span}s of music recorded (length $length)"

stat_of() { sox "$shots/music.wav" -n trim "$1" "$2" remix "$3" stat 2>&1; }
rms_of() { stat_of "$1" "$2" "$3" | awk '/RMS +amplitude/ { print $3 }'; }
# The strongest frequency of a stretch within a band, from sox's 4096-point power spectrum
# (about 10.8 Hz per bin). The melodic band (180..2500 Hz) leaves out the kick and the bass,
# which dominate the whole spectrum.
peak_frequency() {
  sox "$shots/music.wav" -n trim "$1" "$2" remix 1,2 stat -freq 2>&1 |
    awk -v lo="$3" -v hi="$4" '$1 ~ /^[0-9.]+$/ && NF == 2 && $1 >= lo && $1 <= hi { p[$1] += $2 }
         END { best = 0; for (f in p) if (p[f] > best) { best = p[f]; bf = f }; printf "%.0f", bf }'
}
# Peak frequencies more than a semitone apart (6% in frequency).
count_distinct() {
  tr ' ' '\n' | awk 'NF' | sort -n | uniq |
    awk 'BEGIN { n = 0; last = 0 } { if (last == 0 || $1 > last * 1.06) { n++; last = $1 } } END { print n }'
}

total_rms=$(rms_of "$from" "$span" 1,2)
peak_db=$(sox "$shots/music.wav" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
before_rms=$(rms_of 0 1.5 1,2)  # the menu: nothing plays yet

windows=0
loud=0
lows=""
pitches=""
for start in $(awk -v f="$from" -v s="$span" 'BEGIN { for (t = f; t + 0.5 <= f + s; t += 0.5) printf "%.2f ", t }'); do
  windows=$((windows + 1))
  rms=$(rms_of "$start" 0.5 1,2)
  if awk -v r="$rms" 'BEGIN { exit !(r > 0.002) }'; then
    loud=$((loud + 1))
    lows="$lows $(peak_frequency "$start" 0.5 30 2500)"
    pitches="$pitches $(peak_frequency "$start" 0.5 180 2500)"
  fi
done
distinct=$(echo "$pitches" | count_distinct)

echo "recording: ${length}s; tune started at ${tune_at}s; music measured from ${from}s for ${span}s"
echo "level before the round: RMS $before_rms; music: RMS $total_rms, peak ${peak_db} dBFS"
echo "half-second windows with sound: $loud of $windows"
echo "strongest frequency per window (Hz):$lows"
echo "strongest melodic frequency per window (Hz):$pitches"
echo "distinct melodic pitches: $distinct"

awk -v r="$total_rms" 'BEGIN { exit !(r > 0.005) }' || fail "the music is (nearly) silent: RMS $total_rms"
[ $((loud * 10)) -ge $((windows * 9)) ] || fail "silent stretches: only $loud of $windows windows sound"
[ "$distinct" -ge 3 ] || fail "only $distinct distinct melodic pitches"
awk -v p="$peak_db" 'BEGIN { exit !(p < -0.1) }' || fail "the mix clips: peak $peak_db dBFS"
echo "PASS"
