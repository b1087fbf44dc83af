#!/bin/sh
# Runs the browser tests with node's test runner. Without chromium, firefox-esr,
# playwright-core or puppeteer-core (make browser-deps installs them) they are skipped
# (77), except in CI, where that fails.
cd "$(dirname "$0")" || exit 1
if [ ! -x "${CHROMIUM:-/usr/bin/chromium}" ] || [ ! -x "${FIREFOX:-/usr/bin/firefox-esr}" ] ||
    [ ! -d node_modules/playwright-core ] || [ ! -d node_modules/puppeteer-core ] || ! command -v node >/dev/null ||
    ! command -v npm >/dev/null; then
    echo "browser tests need chromium, firefox-esr, node, npm, playwright-core and puppeteer-core: run make browser-deps"
    [ -n "$CI" ] && exit 1
    exit 77
fi
exec node --test
