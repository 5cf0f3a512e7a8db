# Sourced by the scripts that need a display of their own: start_xvfb WIDTHxHEIGHT starts a
# private Xvfb, which picks a free display number itself and reports it through -displayfd, and
# exports DISPLAY. The caller kills $xvfb_pid when it is done.
xvfb_pid=""
start_xvfb() {
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    rm -f "$display_file"
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$display_file")"
  rm -f "$display_file"
}
