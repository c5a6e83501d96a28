#!/bin/sh
# Both programs, started without arguments where their window cannot be opened, say why on
# standard error and exit with 2; neither aborts. Display :4711 has no server behind it.
#   no_display_test.sh VELK_MUR VELK7
velk_mur="$1"
velk7="$2"
failed=0
while IFS='|' read -r program display expected; do
  if [ -n "$display" ]; then
    message=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$program" 2>&1 >/dev/null)
  else
    message=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u DISPLAY "$program" 2>&1 >/dev/null)
  fi
  status=$?
  case "$message" in
    *"$expected"*) ;;
    *) echo "FAIL: $program with DISPLAY '$display': '$expected' not in: $message"; failed=1 ;;
  esac
  if [ "$status" -ne 2 ]; then
    echo "FAIL: $program with DISPLAY '$display' exited with $status, not 2"
    failed=1
  fi
done <<ROWS
$velk_mur|:4711|velk_mur: cannot open the display
$velk7|:4711|velk7: cannot open the display
$velk_mur||velk_mur: no display
$velk7||velk7: no display
ROWS
exit $failed
