// The control on a public web site, in Chromium: the page is made public with
// --ip-address-space-overrides, so reaching trellan-host on loopback needs the user's
// local-network-access permission. The page serves the packed npm module itself, as a
// site would, so the module loads without any permission and can explain the prompt.

import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtempSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { chromium } from "playwright-core";
import { CHROMIUM, OUT, SOURCE, controlFrame, embeddingPage, settledCanvas, startHost, startPages } from "./support.mjs";

// The web folder packed with npm and installed into a scratch site; returns the
// installed module's folder and the packed files' names.
function installPackage(site) {
  const packed = JSON.parse(execFileSync("npm", ["pack", "--json", "--pack-destination", site], { cwd: join(SOURCE, "web") }));
  writeFileSync(join(site, "package.json"), JSON.stringify({ name: "site", private: true }));
  execFileSync("npm", ["install", "--offline", "--no-audit", "--no-fund", "--loglevel=error", join(site, packed[0].filename)], { cwd: site });
  return { folder: join(site, "node_modules", "trellan"), files: packed[0].files.map((file) => file.path).sort() };
}

describe("a public site", () => {
  let site, module, pages, host, browser;
  before(async () => {
    site = mkdtempSync(join(tmpdir(), "trellan-site-"));
    module = installPackage(site);
    pages = await startPages({ "/trellan/trellan.js": { file: join(module.folder, "trellan.js") } });
    host = await startHost("--allow-origin", pages.origin);
    pages.set("/", embeddingPage("/trellan/trellan.js", host.origin));
    browser = await chromium.launch({
      executablePath: CHROMIUM, headless: true,
      args: ["--no-sandbox", `--ip-address-space-overrides=127.0.0.1:${pages.port}=public`],
    });
  });
  after(async () => {
    await browser?.close();
    host?.stop();
    pages?.stop();
    rmSync(site, { recursive: true, force: true });
  });

  async function open(grant) {
    const context = await browser.newContext({ viewport: { width: 1200, height: 700 } });
    if (grant) await context.grantPermissions(["local-network-access"], { origin: pages.origin });
    const page = await context.newPage();
    await page.goto(`${pages.origin}/`);
    return { context, page };
  }

  test("the package holds the module and its declarations", () => {
    assert.deepEqual(module.files, ["package.json", "trellan.d.ts", "trellan.js"]);
    assert.deepEqual(readdirSync(module.folder).sort(), ["package.json", "trellan.d.ts", "trellan.js"]);
  });

  test("with the permission granted the control works", async () => {
    const { context, page } = await open(true);
    try {
      assert.equal(await page.evaluate(async () => (await navigator.permissions.query({ name: "local-network-access" })).state), "granted");
      await page.waitForFunction(() => window.events.some((e) => e.name === "load_complete"), null, { timeout: 20000 });
      const frame = await controlFrame(page);
      const photo = join(host.folder, "samples", readdirSync(join(host.folder, "samples"))[0]);
      const empty = await settledCanvas(frame);
      await page.evaluate((path) => window.control.postMessage(JSON.stringify({ name: "addFile", path })), photo);
      assert.notEqual(await settledCanvas(frame), empty);
      await page.screenshot({ path: join(OUT, "public-granted.png") });
    } finally {
      await context.close();
    }
  });

  test("with the permission refused the element says so and what to do", async () => {
    const { context, page } = await open(false);
    try {
      await page.waitForFunction(() => window.failure, null, { timeout: 30000 });
      const failure = await page.evaluate(() => window.failure);
      assert.match(failure, /local network access was refused/);
      assert.match(failure, /site's settings/);
      const shown = await page.locator(".trellan-notice").textContent();
      assert.equal(shown, failure);
      assert.equal(page.frames().some((frame) => frame.url().endsWith("/frame")), false);
      assert.deepEqual(host.sessions(), []);
      await page.screenshot({ path: join(OUT, "public-refused.png") });
    } finally {
      await context.close();
    }
  });
});
