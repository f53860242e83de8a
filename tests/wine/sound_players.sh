#!/bin/bash
# Wave players under Wine: with the file-backed ALSA device of $ALSA_CONFIG_PATH
# (the played bytes land in $PAGINET_WAVE_OUT), and with no device at all.
# The MIDI player: against Wine's stream interface, which has no synthesiser
# here, and against a recording fake of it. The cases of a group run in one
# process; when that one fails, each case not passed runs again in a process
# of its own, so one crash cannot hide the others.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/scripts/lib.sh"
wine_ready
trap stop_background EXIT
exe="$BUILD/win32/tests/sound/sound_player_test.exe"
midi_exe="$BUILD/win32/tests/sound/sound_midi_test.exe"
for e in "$exe" "$midi_exe"; do
  [ -f "$e" ] || { echo "FAIL: $(basename "$e" .exe) not built"; exit 1; }
done
rc=0

run_case() {  # name filter env...
  local name=$1 filter=$2
  shift 2
  local log
  log=$(mktemp)
  if env "$@" timeout 120 wine "$exe" --gtest_filter="$filter" >"$log" 2>&1 &&
     grep -q '^\[  PASSED  \] 1 test' "$log"; then
    echo "PASS: $name"
  else
    echo "FAIL: $name"
    grep -v '^qemu\|^mmap\|^ALSA' "$log" | tail -n 20
    rc=1
  fi
  rm -f "$log"
}

# run_group "env..." "name|filter" ...: the cases in one process; a case
# that did not end "OK" there runs again alone.
run_group() {
  local -a env=($1)
  shift
  local c filters="" log
  for c in "$@"; do filters+="${c#*|}:"; done
  log=$(mktemp)
  env "${env[@]}" timeout 300 wine "$exe" --gtest_filter="${filters%:}" >"$log" 2>&1 || true
  for c in "$@"; do
    if grep -qF "[       OK ] ${c#*|} (" "$log"; then echo "PASS: ${c%%|*}"
    else run_case "${c%%|*}" "${c#*|}" "${env[@]}"; fi
  done
  rm -f "$log"
}

run_group "PAGINET_EXPECT_DEVICE=1" \
  "one wave-out device|WaveOut.DeviceCount" \
  "voice prompt plays once, all 194040 bytes in order|WaveOut.VoicePromptPlaysOnceInOrder" \
  "data chunk before fmt plays|WaveOut.DataChunkBeforeFormatPlays" \
  "sound longer than the buffer pool|WaveOut.SoundsLongerThanTheBufferPoolPlayInOrder" \
  "30-byte and zero-size data images refused|WaveOut.RefusedImagesStartNoPlayer" \
  "two requests play at once|WaveOut.TwoRequestsPlayAtOnce" \
  "looping sound restarts from its first sample|WaveOut.LoopingSoundRestartsFromItsFirstSample" \
  "stop with wait returns after every thread ended|WaveOut.StopWithWaitReturnsAfterEveryThreadEnded" \
  "stop without wait|WaveOut.StopWithoutWaitStopsSoon"

nodev=$(mktemp)   # an ALSA configuration with no device in it
run_case "no device: the player ends on its time-out, nothing leaks" \
  'WaveOut.WithoutADeviceThePlayerEndsOnItsTimeOut' ALSA_CONFIG_PATH="$nodev" PAGINET_EXPECT_NO_DEVICE=1
rm -f "$nodev"

exe=$midi_exe
run_group "" \
  "MIDI: Wine without a synthesiser, the request ends cleanly|MidiOut.WineWithoutASynthesiserEndsTheRequestCleanly" \
  "MIDI: events reach the stream in order, the song ends on its own|MidiStream.PlaysTheEventsInOrderAndEndsOnItsOwn" \
  "MIDI: a long song spans several buffers in order|MidiStream.LongSongsSpanSeveralBuffersInOrder" \
  "MIDI: looping repeats from the start until stopped|MidiStream.LoopingRepeatsFromTheStartUntilStopped" \
  "MIDI: stop ends a sound that is playing|MidiStream.StopEndsASoundThatIsPlaying" \
  "MIDI: a new request stops the sound that is playing|MidiStream.ANewRequestStopsTheSoundThatIsPlaying" \
  "MIDI: data that cannot be opened plays nothing|MidiStream.DataThatCannotBeOpenedPlaysNothing" \
  "MIDI: an open failure leaves nothing behind|MidiStream.OpenFailureLeavesNothingBehind"
exit $rc
