#!/usr/bin/env bash
# The arithmetic of scripts/measure-window-rate on a trace made up here,
# whose figures are worked out by hand below.
#   measure_window_rate_test.sh SCRIPT
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trace=$work/trace
at() { printf '%d %s\n' "$1" "$2"; }  # microseconds, the rest of the line

{
  # an earlier run in the same file: forgotten at the next start line
  at 100 "start backend=sdl depth=8 pid=1"
  for i in $(seq 50); do at $((200 + i)) "frame 0x10001"; done
  at 500 "box-open Voxel Demo"
  at 600 "box-closed Voxel Demo"

  at 1000000 "start backend=sdl depth=32 pid=2"
  at 1000000 "box-open Voxel Demo"
  at 1500000 "box-closed Voxel Demo"
  # standard phase: first frame at 2 s, box at 4 s; 200 more frames in
  # those 2 s: 100 per second
  at 2000000 "frame 0x10001"
  at 2000000 "caption 0x10001 Standard Voxel Demo FPS: 1000"
  for i in $(seq 200); do at $((2000000 + i * 10000)) "frame 0x10001"; done
  # another window's frame counts for nothing
  at 2500000 "frame 0x10002"
  # 80 stands from 2.5 s to 3.5 s, 110 from 3.5 s to 4 s:
  # (80 * 1 + 110 * 0.5) / 1.5 = 90, 10 % low; 2 sets in 2 s
  at 2500000 "caption 0x10001 Standard Voxel Demo FPS: 80"
  at 3500000 "caption 0x10001 Standard Voxel Demo FPS: 110"
  at 4000000 "box-open Voxel Demo"
  # a frame painted while the box is open, and its caption: not counted
  at 4500000 "frame 0x10001"
  at 4500000 "caption 0x10001 Standard Voxel Demo FPS: 5"
  at 5000000 "box-closed Voxel Demo"
  # vector phase: 5 s to 9 s, 1000 frames: 250 per second
  for i in $(seq 1000); do at $((5000000 + i * 4000)) "frame 0x10001"; done
  # 200.5 from 5.5 s to 7.5 s, 300 from 7.5 s to 9 s:
  # (200.5 * 2 + 300 * 1.5) / 3.5 = 243.142..., 2.74 % low; 2 sets in 4 s
  at 5500000 "caption 0x10001 Kelvane-enabled Voxel Demo FPS: 200.5"
  at 7500000 "caption 0x10001 Kelvane-enabled Voxel Demo FPS: 300"
  at 9000000 "box-open Voxel Demo"
  at 9800000 "box-closed Voxel Demo"
} | sort -s -n -k1,1 >"$trace"

"$script" --trace "$trace" --depth 32 --csv "$work/csv" >"$work/table"

# ratios: 250 / 100 = 2.50 true, 243.1 / 90.0 = 2.70 in the captions
expected="depth,phase,seconds,frames,true_fps,caption_fps,caption_error_pct,title_sets_per_s
32,standard,2.000,200,100.0,90.0,-10.0,1.0
32,vector,4.000,1000,250.0,243.1,-2.7,0.5
32,vector/standard,,,2.50,2.70,,"
actual=$(grep -v '^#' "$work/csv")
if [ "$actual" != "$expected" ]; then
  echo "expected:"; echo "$expected"; echo "got:"; echo "$actual"; echo "table:"; cat "$work/table"
  exit 1
fi
grep -q '^32     vector/standard: true 2.50, caption 2.70$' "$work/table" || { cat "$work/table"; exit 1; }

# a trace without frames is refused
at 1 "start backend=sdl depth=32 pid=3" >"$work/empty"
if "$script" --trace "$work/empty" >/dev/null 2>&1; then echo "a trace without frames was accepted"; exit 1; fi
echo "measure-window-rate: figures of the made-up trace as worked out by hand"
