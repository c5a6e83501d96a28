#!/usr/bin/env bash
# velk_mur measured as a user runs it: whole processes started from the shell, each command
# against cat and cp moving the same bytes, on tmpfs. Each round runs both sides one after the
# other (alternating which goes first); the median of the rounds' ratios is printed. Then the
# start-up: libraries loaded, time and peak memory of `velk_mur --version` and `velk_mur test`.
#   bench/whole_process.sh [PROGRAM] [ROUNDS]
# PROGRAM defaults to build/default/velk_mur/app/velk_mur; ROUNDS to 11.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$root/build/default/velk_mur/app/velk_mur}")"
rounds="${2:-11}"
work="$(mktemp -d /dev/shm/velk_whole.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# A recording as the robot plays it: 8000 samples a second, unsigned 8-bit mono.
le32() {
  printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"
  printf "\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"
}
make_recording() {  # FILE SECONDS: a sound that rises and falls like speech
  local samples=$((8000 * $2))
  {
    printf RIFF; le32 $((36 + samples)); printf 'WAVEfmt '; le32 16
    printf '\x01\x00\x01\x00'; le32 8000; le32 8000; printf '\x01\x00\x08\x00'
    printf data; le32 "$samples"
    head -c "$samples" /dev/urandom | tr '\000-\377' '\100-\277\100-\277\100-\277\100-\277'
  } >"$1"
}

seconds() { echo "$1 $2" | awk '{ printf "%.6f", $2 - $1 }'; }
time_of() {  # runs the command quietly; prints its wall-clock seconds
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 </dev/null
  seconds "$start" "$EPOCHREALTIME"
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# ratio NAME PREPARE PROGRAM-COMMAND BASELINE-COMMAND: PREPARE runs untimed before each side.
ratio() {
  local name="$1" prepare="$2" command="$3" baseline="$4" ratios="" times="" base_times=""
  for ((round = 0; round < rounds; ++round)); do
    local a b
    if ((round % 2 == 0)); then
      eval "$prepare"; a=$(time_of eval "$command")
      eval "$prepare"; b=$(time_of eval "$baseline")
    else
      eval "$prepare"; b=$(time_of eval "$baseline")
      eval "$prepare"; a=$(time_of eval "$command")
    fi
    ratios+="$(echo "$a $b" | awk '{ printf "%.3f", $1 / $2 }')"$'\n'
    times+="$a"$'\n'
    base_times+="$b"$'\n'
  done
  printf '%-36s %6.1f ms against %6.1f ms: %5.2fx\n' "$name" \
    "$(printf %s "$times" | median | awk '{ print $1 * 1000 }')" \
    "$(printf %s "$base_times" | median | awk '{ print $1 * 1000 }')" \
    "$(printf %s "$ratios" | median)"
}

# 1001 recordings of 3 s, one of 80 minutes, and the example stick.
mkdir folder long
for ((i = 0; i < 1001; ++i)); do
  make_recording "folder/r$(printf %04d $i).wav" 3
done
make_recording long/talk.wav 4800
cp -r "$root/examples/stick" stick
"$program" generate --stick stick --audio folder --yes >/dev/null
"$program" generate --stick stick --audio long --yes >/dev/null
cp -r folder/GEN folder_gen
cp -r long/GEN long_gen

echo "velk_mur: $program"
ratio "generate, 1001 recordings of 3 s" "rm -rf folder/GEN copy" \
  "'$program' generate --stick stick --audio folder --yes" \
  "cat folder/*.wav >/dev/null && cp -r folder_gen copy"
ratio "generate, one recording of 80 min" "rm -rf long/GEN copy" \
  "'$program' generate --stick stick --audio long --yes" \
  "cat long/talk.wav >/dev/null && cp -r long_gen copy"
"$program" generate --stick stick --audio folder --yes >/dev/null
ratio "save, 1001 recordings of 3 s" "rm -rf copy" \
  "'$program' save --stick stick --audio folder --yes" \
  "cat folder/*.wav folder/GEN/* >copy"

# Start-up: what the program loads and costs before it does anything.
mkdir small
cp "$root"/examples/voices/*.wav small/
"$program" generate --stick stick --audio small --yes >/dev/null
for command in "--version" "test --stick stick --audio small --yes"; do
  read -ra words <<<"$command"
  libraries=$(LD_DEBUG=libs "$program" "${words[@]}" 2>&1 >/dev/null | grep -c 'calling init:')
  memory=$(/usr/bin/time -f %M "$program" "${words[@]}" 2>&1 >/dev/null | tail -1)
  times=""
  for ((round = 0; round < 4 * rounds; ++round)); do
    times+="$(time_of "$program" "${words[@]}")"$'\n'
  done
  empty=""
  for ((round = 0; round < 4 * rounds; ++round)); do
    empty+="$(time_of /bin/true)"$'\n'
  done
  printf 'velk_mur %-12s %3d libraries, %5.1f ms (an empty program: %4.1f ms), %5.1f MB\n' \
    "${words[0]}" "$libraries" \
    "$(printf %s "$times" | median | awk '{ print $1 * 1000 }')" \
    "$(printf %s "$empty" | median | awk '{ print $1 * 1000 }')" \
    "$(echo "$memory" | awk '{ print $1 / 1024 }')"
done
