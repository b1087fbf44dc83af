#!/bin/bash
# The control at work through its own view: trellan-run adds a few photos with the
# page's "addFile", presses the upload button, waits for the page event, and takes
# screenshots on the way; the test receiver on loopback stores the files.
# Usage: examples/view_demo.sh BUILD_FOLDER [LANGUAGE] (the module registered under
# BUILD_FOLDER/registry; LANGUAGE "en" shows the interface in English)
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
language=${2:+", \"Language\": \"$2\""}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/trellan-view-demo-XXXXXX)
mkdir -p "$work/photos" "$work/received" "$work/screenshots"

"$build/bin/view-pictures" --photos "$work/photos" 5

python3 "$root/tests/support/receiver.py" --store "$work/received" --delay 0.4 > "$work/receiver.out" 2>&1 &
receiver=$!
trap 'kill $receiver 2>/dev/null || true; wait $receiver 2>/dev/null || true' EXIT

port=
for _ in $(seq 100); do
    port=$(sed -n 's/^PORT //p' "$work/receiver.out")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the receiver did not start" >&2; exit 1; }

shots="$work/screenshots"
{
    echo "{\"post\": {\"name\": \"init\", \"config\": {\"PostUrl\": \"http://127.0.0.1:$port/upload\", \"ThreadCount\": 2$language}}}"
    echo '{"wait": "load_complete", "timeout_ms": 10000}'
    for photo in "$work"/photos/*.jpg; do
        echo "{\"post\": {\"name\": \"addFile\", \"path\": \"$photo\"}}"
    done
    echo '{"pump_ms": 500}'
    echo "{\"screenshot\": \"$shots/1-added.png\"}"
    echo '{"click": [136, 16]}'
    echo '{"pump_ms": 300}'
    echo "{\"screenshot\": \"$shots/2-uploading.png\"}"
    echo '{"wait": "post_complete", "timeout_ms": 60000}'
    echo "{\"screenshot\": \"$shots/3-sent.png\"}"
    echo '{"dump": "list"}'
} > "$work/demo.jsonl"

echo "Adding $(ls "$work/photos" | wc -l) photos through the control's view and uploading them to 127.0.0.1:$port ..."
echo "The page receives:"
TRELLAN_REGISTRY_DIR="$build/registry" "$build/bin/trellan-run" "$work/demo.jsonl"
echo
echo "The receiver stored the files in $work/received:"
ls -l "$work/received"
echo
echo "Screenshots of the control in $shots: $(cd "$shots" && echo *.png)"
