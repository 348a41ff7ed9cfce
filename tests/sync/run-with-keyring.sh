#!/bin/sh
# Runs a test program on a private session bus with GNOME Keyring's Secret Service,
# unlocked, keeping its keyrings in a throwaway home folder. The daemon ends with the bus.
exec dbus-run-session -- sh -c '
  home=$(mktemp -d)
  trap "rm -rf \"$home\"" EXIT
  export HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # --login reads the login keyring'"'"'s password from standard input: the keyring is
  # made with it and left unlocked.
  printf test | gnome-keyring-daemon --daemonize --login >/dev/null || exit 1
  gnome-keyring-daemon --start --components=secrets >/dev/null || exit 1
  "$@"
' sh "$@"
