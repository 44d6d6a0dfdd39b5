#!/bin/sh
# A flasher that lies, to show that the fault matrix catches it: "check" is the real one (the
# matrix builds its image with it); "write" says done without writing (FAKE_FLASH=claims-done)
# or never ends (FAKE_FLASH=hangs).
if [ "$1" = check ]; then
    exec "$VELOR_REAL_FLASH" "$@"
fi
case "$FAKE_FLASH" in
    hangs) exec sleep 600 ;;
    *) echo "done"; exit 0 ;;
esac
