#!/bin/bash
# Records the voice prompt "下载完成" with espeak-ng and lays it out as the
# program embeds it: 44100 Hz, 16-bit stereo PCM, exactly 194040 sample bytes
# (1.1 s), a "fmt " and a "data" chunk, then a 4042-byte "PAD " chunk.
# Usage: make_voice_prompt.sh [output.wav]
set -euo pipefail
out=${1:-$(cd "$(dirname "$0")/.." && pwd)/voice_prompt.wav}
frames=48510                      # 194040 bytes / 4 bytes per frame
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

espeak-ng -v cmn -s 230 -w "$tmp/speech.wav" "下载完成"
# Cut the silence around the words, then speed them up until they fit with
# a little quiet at the end.
sox "$tmp/speech.wav" -r 44100 -b 16 -c 2 -e signed-integer "$tmp/trimmed.wav" \
  silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse
have=$(soxi -s "$tmp/trimmed.wav")
tempo=$(awk -v h="$have" -v f="$frames" 'BEGIN { t = h / (f * 0.95); printf "%.4f", t < 1 ? 1 : t }')
sox "$tmp/trimmed.wav" -t raw -r 44100 -b 16 -c 2 -e signed-integer -L "$tmp/samples.raw" \
  tempo -s "$tempo" pad 0 0.2 trim 0 "${frames}s"
[ "$(stat -c %s "$tmp/samples.raw")" -eq 194040 ] || { echo "sample bytes wrong" >&2; exit 1; }

le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
{
  printf 'RIFF'; le32 198126; printf 'WAVE'
  printf 'fmt '; le32 16; le16 1; le16 2; le32 44100; le32 176400; le16 4; le16 16
  printf 'data'; le32 194040
  cat "$tmp/samples.raw"
  printf 'PAD '; le32 4042
  head -c 4042 /dev/zero
} > "$out"
[ "$(stat -c %s "$out")" -eq 198134 ] || { echo "file size wrong" >&2; exit 1; }
echo "wrote $out"
