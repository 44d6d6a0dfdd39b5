#!/bin/sh
# A flasher that lies, to show that the fault matrix catches it: "check" is the real one (the
# matrix builds its image with it); "write" says done without writing (FAKE_FLASH=claims-done),
# never ends (FAKE_FLASH=hangs), refuses a device holding an older release as holding a newer one
# (FAKE_FLASH=refuses-newer) or says it found no device (FAKE_FLASH=not-found, true enough of a
# line that lost every reply).
if [ "$1" = check ]; then
    exec "$VELOR_REAL_FLASH" "$@"
fi
case "$FAKE_FLASH" in
    hangs) exec sleep 600 ;;
    refuses-newer) echo "В прилад вже записана новіша версія!"; exit 1 ;;
    not-found) echo "Не визначино, для усунення причин:"; exit 1 ;;
    *) echo "done"; exit 0 ;;
esac
