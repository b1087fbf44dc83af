#!/bin/sh
# Runs the browser tests with node's test runner. Without chromium or playwright-core
# (make browser-deps installs both) they are skipped (77), except in CI, where that fails.
cd "$(dirname "$0")" || exit 1
if [ ! -x "${CHROMIUM:-/usr/bin/chromium}" ] || [ ! -d node_modules/playwright-core ] || ! command -v node >/dev/null; then
    echo "browser tests need chromium, node and playwright-core: run make browser-deps"
    [ -n "$CI" ] && exit 1
    exit 77
fi
exec node --test
