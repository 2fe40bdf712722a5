# Shared by the window tests under Xvfb (sourced): waits up to ten seconds for a window whose
# title is exactly TITLE and prints its id (nothing when none came).
# Usage: win=$(window_titled TITLE)
window_titled() {
  for i in $(seq 100); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
