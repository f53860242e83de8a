#!/usr/bin/env bash
# Runs a command with every 32-bit program going through the emulator, as on
# a kernel without 32-bit support, even where the kernel has it:
#   bash scripts/emulated.sh bash scripts/run.sh
# The emulator is registered here, in a binfmt_misc of the command's own (a
# user namespace; Linux 6.7 or later), so the rest of the machine is
# unchanged, and whatever the command is: one that never installs anything
# (a benchmark, say) would otherwise run every 32-bit program natively.
# When that cannot be done, or a 32-bit program still runs natively, it
# says so and runs nothing.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
fetch_qemu || exit 1   # out here: it keeps the emulator under $QEMU_HOME
exec unshare --user --map-root-user --mount bash -c '
  set -euo pipefail
  source "$1/scripts/lib.sh"; shift
  mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null ||
    { log "emulated.sh: no binfmt_misc of a namespace'"'"'s own here (Linux 6.7 or later has it); nothing run"; exit 1; }
  export PAGINET_I386=emulated
  enable_i386 || { log "emulated.sh: the emulator could not be registered; nothing run"; exit 1; }
  # qemu traces system calls when asked; a native run ignores the request.
  QEMU_STRACE=1 /usr/lib/wine/wine --version 2>&1 >/dev/null | grep -q "exit_group" ||
    { log "emulated.sh: a 32-bit program still runs natively; nothing run"; exit 1; }
  exec "$@"' emulated "$ROOT" "$@"
