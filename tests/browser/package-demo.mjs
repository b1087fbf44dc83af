// The installed package in a real browser: Debian's chromium opens the demo page of a
// trellan-host that systemd-socket-activate starts from /usr/bin on the first
// connection, adds two sample photos and uploads them; the sessions find the module
// through the machine's registry store.
//
// Environment: TRELLAN_PORT (the activated socket's port), TRELLAN_DEMO (the host's
// demo folder), TRELLAN_ORIGINS (origins the administrator's and the user's files
// allow, space-separated), TRELLAN_BROWSER_OUT (the page's picture).

import { test } from "node:test";
import assert from "node:assert/strict";
import { readdirSync, statSync } from "node:fs";
import { join } from "node:path";
import { chromium } from "playwright-core";
import { CHROMIUM, OUT, controlFrame, settledCanvas } from "./support.mjs";

const origin = `http://127.0.0.1:${process.env.TRELLAN_PORT}`;
const demo = process.env.TRELLAN_DEMO;

test("the frame may be shown by the origins both allowed-origins files name", async () => {
  const response = await fetch(`${origin}/frame`);
  assert.equal(response.status, 200);
  const policy = response.headers.get("content-security-policy");
  const ancestors = policy.split(";").map((part) => part.trim()).find((part) => part.startsWith("frame-ancestors "));
  for (const allowed of process.env.TRELLAN_ORIGINS.split(" "))
    assert.ok(ancestors.split(" ").includes(allowed), `${allowed} missing from ${ancestors}`);
});

test("the demo page uploads two sample photos through the installed host", async () => {
  const browser = await chromium.launch({ executablePath: CHROMIUM, headless: true, args: ["--no-sandbox"] });
  try {
    const page = await browser.newPage({ viewport: { width: 1400, height: 820 } });
    const errors = [];
    page.on("pageerror", (error) => errors.push(error.message));
    await page.goto(`${origin}/demo/`);
    await page.waitForFunction(() => window.trellanDemo?.events.some((e) => e.name === "load_complete"), null,
      { timeout: 30000 });
    const frame = await controlFrame(page);
    await page.click("button[data-sample='0']");
    await page.click("button[data-sample='1']");
    await settledCanvas(frame);
    const box = await frame.locator("canvas.trellan-control").boundingBox();
    await page.mouse.click(box.x + 135, box.y + 16);
    await page.waitForFunction(() => window.trellanDemo.events.some((e) => e.name === "post_complete"), null,
      { timeout: 60000 });
    await page.screenshot({ path: join(OUT, "package-demo.png") });
    const done = await page.evaluate(() => window.trellanDemo.events.find((e) => e.name === "post_complete"));
    assert.equal(done.imgs?.length, 2, JSON.stringify(done));
    // The receiver stored both photos whole: camera-sized pictures of several megabytes.
    const stored = readdirSync(join(demo, "uploads")).map((name) => statSync(join(demo, "uploads", name)).size);
    assert.equal(stored.length, 2);
    for (const size of stored) assert.ok(size > 1000000, `an upload of only ${size} bytes`);
    assert.deepEqual(errors, []);
  } finally {
    await browser.close();
  }
});
