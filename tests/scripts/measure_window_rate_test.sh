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
# Frame i of the main window at time t: a frame shown; or, in a trace of a
# presenter thread (kind "drawn"), a frame drawn into the desktop, of which
# the even ones are also shown.
kind=frames
frame() {  # i t
  if [ "$kind" = frames ]; then at "$2" "frame 0x10001"; return; fi
  at "$2" "drawn 0x10001"
  [ $(($1 % 2)) -eq 1 ] || at "$2" "frame 0x10001"
}

make_trace() {
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
  frame 0 2000000
  at 2000000 "caption 0x10001 Standard Voxel Demo FPS: 1000"
  for i in $(seq 200); do frame "$i" $((2000000 + i * 10000)); done
  # another window's frame counts for nothing
  at 2500000 "frame 0x10002"
  # 80 stands from 2.5 s to 3.5 s, 110 from 3.5 s to 4 s:
  # (80 * 1 + 110 * 0.5) / 1.5 = 90, 10 % low; 2 sets in 2 s
  at 2500000 "caption 0x10001 Standard Voxel Demo FPS: 80"
  at 3500000 "caption 0x10001 Standard Voxel Demo FPS: 110"
  at 4000000 "box-open Voxel Demo"
  # a frame painted while the box is open, and its caption: not counted
  frame 1 4500000
  at 4500000 "caption 0x10001 Standard Voxel Demo FPS: 5"
  at 5000000 "box-closed Voxel Demo"
  # vector phase: 5 s to 9 s, 1000 frames: 250 per second
  for i in $(seq 1000); do frame "$i" $((5000000 + i * 4000)); done
  # 200.5 from 5.5 s to 7.5 s, 300 from 7.5 s to 9 s:
  # (200.5 * 2 + 300 * 1.5) / 3.5 = 243.142..., 2.74 % low; 2 sets in 4 s
  at 5500000 "caption 0x10001 Kelvane-enabled Voxel Demo FPS: 200.5"
  at 7500000 "caption 0x10001 Kelvane-enabled Voxel Demo FPS: 300"
  at 9000000 "box-open Voxel Demo"
  at 9800000 "box-closed Voxel Demo"
}

check() {  # expected-csv
  "$script" --trace "$trace" --depth 32 --csv "$work/csv" >"$work/table"
  actual=$(grep -v '^#' "$work/csv")
  if [ "$actual" != "$1" ]; then
    echo "$kind: expected:"; echo "$1"; echo "got:"; echo "$actual"; echo "table:"; cat "$work/table"
    exit 1
  fi
  grep -q '^32     vector/standard: true 2.50, caption 2.70$' "$work/table" || { cat "$work/table"; exit 1; }
}

# ratios: 250 / 100 = 2.50 true, 243.1 / 90.0 = 2.70 in the captions
make_trace | sort -s -n -k1,1 >"$trace"
check "depth,phase,seconds,frames,true_fps,caption_fps,caption_error_pct,title_sets_per_s,shown_fps
32,standard,2.000,200,100.0,90.0,-10.0,1.0,-
32,vector,4.000,1000,250.0,243.1,-2.7,0.5,-
32,vector/standard,,,2.50,2.70,,"

# the same frames drawn, half of them shown: the true rates are the drawn
# frames', the shown ones half of them (100 of 200 frames after the first
# in 2 s, 500 of 1000 in 4 s)
kind=drawn
make_trace | sort -s -n -k1,1 >"$trace"
check "depth,phase,seconds,frames,true_fps,caption_fps,caption_error_pct,title_sets_per_s,shown_fps
32,standard,2.000,200,100.0,90.0,-10.0,1.0,50.0
32,vector,4.000,1000,250.0,243.1,-2.7,0.5,125.0
32,vector/standard,,,2.50,2.70,,"

# a trace without frames is refused
at 1 "start backend=sdl depth=32 pid=3" >"$work/empty"
if "$script" --trace "$work/empty" >/dev/null 2>&1; then echo "a trace without frames was accepted"; exit 1; fi
echo "measure-window-rate: figures of the made-up trace as worked out by hand"
