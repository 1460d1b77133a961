#!/bin/sh
# Runs the xdotool commands that a Windows test writes into the folder, one at a time, and
# leaves each one's output beside it. A test started from Wine cannot run a Unix program without
# a Windows process coming and going, which the window under test would notice; this runner is
# started once and then only reads files. It ends when the folder goes or after a quiet minute
# (the test starts another when it has more to do).
dir=$1
exec >/dev/null 2>&1 </dev/null
idle=0
while [ -d "$dir" ] && [ $idle -lt 6000 ]; do
  found=
  for command in "$dir"/*.cmd; do
    [ -e "$command" ] || continue
    found=1
    out=${command%.cmd}
    # Claimed first: a second runner started meanwhile never runs the same command.
    mv "$command" "$out.run" 2>/dev/null || continue
    sh "$out.run" >"$out.part" 2>&1
    mv "$out.part" "$out.out"
    rm -f "$out.run"
  done
  if [ -n "$found" ]; then idle=0; else idle=$((idle + 1)); sleep 0.01; fi
done
