#!/bin/sh
# Answers --help and --version the way a Qt program does, for help-to-man's
# test: options in two columns, long descriptions wrapped onto indented lines.
case "$1" in
  --version) echo "Vextune 1.0.1.51" ;;
  --help)
    cat <<'HELP'
Usage: vextune [options]
Configures a DAV-OZI (Ambrel) and updates its firmware.

Options:
  -h, --help     Displays help on commandline options.
  --help-all     Displays help, including generic Qt options.
  -v, --version  Displays version information.
  --port <PATH>  Use the DAV-OZI on PATH (/dev/ttyACM0 or ttyACM0) instead of
                 looking for it.
  --simulate     Start a simulated DAV-OZI inside the program and use it, so
                 that everything can be tried without a device.
HELP
    ;;
esac
