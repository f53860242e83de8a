#!/usr/bin/env bash
# Runs a command with every 32-bit program going through the emulator, as on
# a kernel without 32-bit support, even where the kernel has it:
#   bash scripts/emulated.sh bash scripts/run.sh
# The emulator is registered in a binfmt_misc of the command's own (a user
# namespace; Linux 6.7 or later), so the rest of the machine is unchanged.
set -euo pipefail
exec unshare --user --map-root-user --mount bash -c \
  'mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc && PAGINET_I386=emulated exec "$@"' \
  emulated "$@"
