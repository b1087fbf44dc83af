#!/bin/bash
# The upload engine at work on its defaults: a test receiver on loopback stores what
# it gets, trellan-post sends a few generated photos to it, and the page event and the
# stored files are shown. Usage: examples/upload_demo.sh BUILD_FOLDER
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/trellan-demo-XXXXXX)
mkdir -p "$work/photos" "$work/received"

python3 "$root/tests/support/make_photos.py" "$work/photos" 4 --size 320x240 > /dev/null

python3 "$root/tests/support/receiver.py" --store "$work/received" > "$work/receiver.out" 2>&1 &
receiver=$!
trap 'kill $receiver 2>/dev/null || true; wait $receiver 2>/dev/null || true' EXIT

port=
for _ in $(seq 100); do
    port=$(sed -n 's/^PORT //p' "$work/receiver.out")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the receiver did not start" >&2; exit 1; }

echo "Uploading $(ls "$work/photos" | wc -l) photos to the receiver on 127.0.0.1:$port ..."
event=$("$build/bin/trellan-post" --url "http://127.0.0.1:$port/upload" --field album=demo \
        "$work"/photos/*.png)
echo
echo "The page receives:"
echo "$event"
echo
echo "The receiver stored the files in $work/received:"
ls -l "$work/received"
