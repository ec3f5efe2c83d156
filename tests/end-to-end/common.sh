# What the end-to-end tests of the game share, sourced by each: its
# arguments, its own virtual X display (1280 x 720), the checks and waits,
# and the colours and regions screenshots are judged by. Every wait polls the
# screen or the log until what it waits for shows, up to a generous limit,
# so that a busy machine only makes it slower.
#   . common.sh GAME_BINARY SOURCE_DIR SCREENSHOT_DIR
set -uo pipefail
game_binary=$(realpath "$1") source_dir=$(realpath "$2") shots=$(realpath -m "$3")
mkdir -p "$shots"
rm -f "$shots"/*.png

# The test runs again on a display of its own.
if [ -z "${TESSARINE_E2E_DISPLAY:-}" ]; then
  export TESSARINE_E2E_DISPLAY=1
  exec xvfb-run -a -s "-noreset -screen 0 1280x720x24" "$0" "$@"
fi

passes=0 failures=0
check() {  # description, then a command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Fraction (0..1) of the pixels of a region that have a colour, give or take a little.
fraction_of() {  # image colour crop
  convert "$1" -crop "$3" +repage -alpha off -fuzz 4% -transparent "$2" -alpha extract -negate \
    -format '%[fx:mean]' info:
}
# Number of pixels that differ between two screenshots, in a region; a
# number larger than any screen when they cannot be compared.
difference() {  # image image [crop]
  local region=${3:-1280x720+0+0} out
  out=$(compare -metric AE -fuzz 6% "$1[$region]" "$2[$region]" null: 2>&1)
  if [[ "$out" =~ ^[0-9]+$ ]]; then echo "$out"; else echo 999999999; fi
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

shoot() { import -window root "$shots/$1.tmp.png" && mv "$shots/$1.tmp.png" "$shots/$1.png"; }

# Runs a command every fifth of a second until it succeeds, for up to the
# given seconds.
wait_until() {  # seconds command...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}
# Shoots the screen until a test of the screenshot succeeds.
screen_shows() {  # name seconds test-command (given the screenshot's path)...
  local name=$1 deadline=$((SECONDS + $2)); shift 2
  until shoot "$name" && "$@" "$shots/$name.png"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

game_window() { xdotool search --onlyvisible --name '^Tessarine$' 2>/dev/null | head -n 1; }
wait_for_window() {
  local deadline=$((SECONDS + 60))
  until [ -n "$(game_window)" ]; do
    kill -0 "$game" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
  xdotool windowfocus --sync "$(game_window)" 2>/dev/null
  return 0
}
game_ended() { ! kill -0 "$game" 2>/dev/null; }

sky="rgb(102,191,255)"
loading="rgb(245,245,245)"
box_border="rgb(0,121,241)"
notice="rgb(255,236,200)"
# The window is 1280 x 720 (scale 1.6); the information box stands at
# (960, 8), 312 x 184 pixels; a notice of one line takes the bottom 38 rows,
# of two 57.
box_region="312x184+960+8"
notice_region="1280x30+0+688"
scene_region="1280x640+0+0"
whole="1280x720+0+0"

world_shown() { below "$(fraction_of "$1" "$loading" "$whole")" 0.2 && above "$(fraction_of "$1" "$sky" "$whole")" 0.05; }
# The screen no longer changes by itself: the player has landed.
settled() {
  local previous="$shots/settling.png"
  [ -f "$previous" ] && below "$(difference "$previous" "$1")" 200 && return 0
  cp "$1" "$previous"; return 1
}
box_shown() { above "$(fraction_of "$1" "$box_border" "$box_region")" 0.01; }
box_hidden() { below "$(fraction_of "$1" "$box_border" "$box_region")" 0.001; }
moved_from() { above "$(difference "$shots/$1.png" "$3")" "$2"; }  # name pixels screenshot
near_to() { below "$(difference "$shots/$1.png" "$3")" "$2"; }
notice_shown() { above "$(fraction_of "$1" "$notice" "$notice_region")" 0.3; }


cd "$source_dir"

# The summary, and the status of the whole test.
finish() {
  echo "Screenshots: $shots"
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}
