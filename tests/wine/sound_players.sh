#!/bin/bash
# Wave players under Wine: with the file-backed ALSA device of $HOME/.asoundrc
# (the played bytes land in $PAGINET_WAVE_OUT), and with no device at all.
# The MIDI player: against Wine's stream interface, which has no synthesiser
# here, and against a recording fake of it. Each case runs in its own
# process so one crash cannot hide the others.
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

dev=(PAGINET_EXPECT_DEVICE=1)
run_case "one wave-out device" 'WaveOut.DeviceCount' "${dev[@]}"
run_case "voice prompt plays once, all 194040 bytes in order" 'WaveOut.VoicePromptPlaysOnceInOrder' "${dev[@]}"
run_case "data chunk before fmt plays" 'WaveOut.DataChunkBeforeFormatPlays' "${dev[@]}"
run_case "sound longer than the buffer pool" 'WaveOut.SoundsLongerThanTheBufferPoolPlayInOrder' "${dev[@]}"
run_case "30-byte and zero-size data images refused" 'WaveOut.RefusedImagesStartNoPlayer' "${dev[@]}"
run_case "two requests play at once" 'WaveOut.TwoRequestsPlayAtOnce' "${dev[@]}"
run_case "looping sound restarts from its first sample" 'WaveOut.LoopingSoundRestartsFromItsFirstSample' "${dev[@]}"
run_case "stop with wait returns after every thread ended" 'WaveOut.StopWithWaitReturnsAfterEveryThreadEnded' "${dev[@]}"
run_case "stop without wait" 'WaveOut.StopWithoutWaitStopsSoon' "${dev[@]}"

nodev=$(mktemp -d)
run_case "no device: the player ends on its time-out, nothing leaks" \
  'WaveOut.WithoutADeviceThePlayerEndsOnItsTimeOut' HOME="$nodev" PAGINET_EXPECT_NO_DEVICE=1
rm -rf "$nodev"

exe=$midi_exe
run_case "MIDI: Wine without a synthesiser, the request ends cleanly" 'MidiOut.WineWithoutASynthesiserEndsTheRequestCleanly'
run_case "MIDI: events reach the stream in order, the song ends on its own" 'MidiStream.PlaysTheEventsInOrderAndEndsOnItsOwn'
run_case "MIDI: a long song spans several buffers in order" 'MidiStream.LongSongsSpanSeveralBuffersInOrder'
run_case "MIDI: looping repeats from the start until stopped" 'MidiStream.LoopingRepeatsFromTheStartUntilStopped'
run_case "MIDI: stop ends a sound that is playing" 'MidiStream.StopEndsASoundThatIsPlaying'
run_case "MIDI: a new request stops the sound that is playing" 'MidiStream.ANewRequestStopsTheSoundThatIsPlaying'
run_case "MIDI: data that cannot be opened plays nothing" 'MidiStream.DataThatCannotBeOpenedPlaysNothing'
run_case "MIDI: an open failure leaves nothing behind" 'MidiStream.OpenFailureLeavesNothingBehind'
exit $rc
