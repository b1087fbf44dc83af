// A page on an allowed origin is an untrusted caller: through the page's own API
// (Trellan.create, ctl.postMessage, ctl.recvMessage) in Chromium, "init" cannot make the
// control write outside the user's log folder, and uploads go only where a browser
// would let the page's own requests go. The page is served by a small server of the
// test on its own origin; the upload button is pressed as a user would.
//
// Environment: TRELLAN_BIN_DIR, TRELLAN_REGISTRY_DIR (as for trellan.test.mjs).

import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { spawn, execFileSync } from "node:child_process";
import { createServer } from "node:http";
import { createInterface } from "node:readline";
import {
  existsSync, lstatSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, symlinkSync, writeFileSync,
} from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { chromium } from "playwright-core";
import { CHROMIUM, SOURCE, controlFrame, freePort, settledCanvas, startHost } from "./support.mjs";

const PUBLIC_NAME = "photos.example.test";

// Serves one page that embeds the control from host and keeps every page event.
async function startPageServer(port, host) {
  const page = `<!doctype html><meta charset="utf-8"><title>untrusted</title>
<div id="uploader" style="width: 800px; height: 560px"></div>
<script type="module">
  import { Trellan } from "${host.origin}/trellan.js";
  window.events = [];
  const ctl = await Trellan.create(document.getElementById("uploader"), { host: "${host.origin}" });
  ctl.recvMessage = (text) => window.events.push(JSON.parse(text));
  window.ctl = ctl;
</script>`;
  const server = createServer((request, response) => {
    response.writeHead(200, { "Content-Type": "text/html; charset=utf-8" });
    response.end(page);
  });
  await new Promise((resolve) => server.listen(port, "127.0.0.1", resolve));
  return server;
}

// tests/support/receiver.py on a free port, recording the requests it gets.
async function startReceiver(...options) {
  const record = mkdtempSync(join(tmpdir(), "trellan-untrusted-record-"));
  const child = spawn("python3", [join(SOURCE, "tests/support/receiver.py"), "--record", record, ...options],
    { stdio: ["ignore", "pipe", "inherit"] });
  const line = await new Promise((resolve) => createInterface({ input: child.stdout }).once("line", resolve));
  const port = Number(line.split(" ")[1]);
  return {
    url: `http://127.0.0.1:${port}/upload`,
    methods: () => readdirSync(record).filter((name) => name.endsWith(".json") && name.startsWith("request-")).sort()
      .map((name) => JSON.parse(readFileSync(join(record, name), "utf8")))
      .map((request) => request.method),
    stop() {
      child.kill();
      rmSync(record, { recursive: true, force: true });
    },
  };
}

async function openPage(browser, url) {
  const context = await browser.newContext({ viewport: { width: 1200, height: 800 } });
  await context.grantPermissions(["local-network-access"]);
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForFunction(() => window.ctl !== undefined, null, { timeout: 20000 });
  return { page, close: () => context.close() };
}

async function post(page, command) {
  await page.evaluate((text) => window.ctl.postMessage(text), JSON.stringify(command));
}

async function waitForEvents(page, name, count) {
  await page.waitForFunction(({ name, count }) => window.events.filter((e) => e.name === name).length >= count,
    { name, count }, { timeout: 60000 });
  return page.evaluate((name) => window.events.filter((e) => e.name === name), name);
}

// Two noisy photos of several megabytes, added by the page, then the upload button
// pressed by the user; returns the page's "post_complete".
async function uploadPhotos(page, photos, postUrl) {
  const loaded = await page.evaluate(() => window.events.filter((e) => e.name === "load_complete").length);
  await post(page, { name: "init", config: { PostUrl: postUrl } });
  await waitForEvents(page, "load_complete", loaded + 1);
  for (const path of photos) await post(page, { name: "addFile", path });
  await settledCanvas(await controlFrame(page));
  const box = await page.locator("#uploader").boundingBox();
  await page.mouse.click(box.x + 136, box.y + 16);
  const [complete] = await waitForEvents(page, "post_complete", 1);
  return complete;
}

describe("a page on an allowed origin is an untrusted caller", () => {
  let browser, host, pages, pagePort, photoFolder, photos, stateHome;

  before(async () => {
    pagePort = await freePort();
    stateHome = mkdtempSync(join(tmpdir(), "trellan-untrusted-state-"));
    photoFolder = mkdtempSync(join(tmpdir(), "trellan-untrusted-photos-"));
    execFileSync("python3", [join(SOURCE, "tests/support/make_photos.py"), photoFolder, "2", "--size", "1600x1200",
      "--noise"]);
    photos = readdirSync(photoFolder).sort().map((name) => join(photoFolder, name));
    // The host's sessions find the log folder here; the test's own HOME stays untouched.
    const savedState = process.env.XDG_STATE_HOME;
    process.env.XDG_STATE_HOME = stateHome;
    host = await startHost("--allow-origin", `http://127.0.0.1:${pagePort}`,
      "--allow-origin", `http://${PUBLIC_NAME}:${pagePort}`);
    if (savedState === undefined) delete process.env.XDG_STATE_HOME;
    else process.env.XDG_STATE_HOME = savedState;
    pages = await startPageServer(pagePort, host);
    browser = await chromium.launch({
      executablePath: CHROMIUM, headless: true,
      // The public page is served over http, which Chromium lets reach loopback only
      // from a secure context: the test's origin is treated as one.
      args: ["--no-sandbox", `--host-resolver-rules=MAP ${PUBLIC_NAME} 127.0.0.1`,
        `--ip-address-space-overrides=127.0.0.1:${pagePort}=public`,
        `--unsafely-treat-insecure-origin-as-secure=http://${PUBLIC_NAME}:${pagePort}`],
    });
  });

  after(async () => {
    await browser?.close();
    pages?.close();
    host?.stop();
    rmSync(stateHome, { recursive: true, force: true });
    rmSync(photoFolder, { recursive: true, force: true });
  });

  test("init with hostile LogFile paths changes no file outside the log folder", async () => {
    const outside = mkdtempSync(join(tmpdir(), "trellan-untrusted-outside-"));
    const logs = join(stateHome, "trellan", "logs");
    mkdirSync(logs, { recursive: true });
    const victim = join(outside, "authorized_keys");
    writeFileSync(victim, "ssh-ed25519 AAAA user@host\n");
    symlinkSync(victim, join(logs, "link.log"));
    execFileSync("mkfifo", [join(logs, "fifo.log")]);
    const { page, close } = await openPage(browser, `http://127.0.0.1:${pagePort}/`);
    try {
      const paths = [victim, `../../${outside}/authorized_keys`, "link.log", "fifo.log", join(outside, "created.log"), ".."];
      for (const LogFile of paths) await post(page, { name: "init", config: { Debug: true, LogFile } });
      await waitForEvents(page, "load_complete", paths.length);
      assert.equal(readFileSync(victim, "utf8"), "ssh-ed25519 AAAA user@host\n");
      assert.deepEqual(readdirSync(outside), ["authorized_keys"]);
      assert.ok(lstatSync(join(logs, "link.log")).isSymbolicLink());
      assert.match(readFileSync(join(logs, "authorized_keys"), "utf8"), /日志创建成功/);
      assert.match(readFileSync(join(logs, "created.log"), "utf8"), /日志创建成功/);
    } finally {
      await close();
      rmSync(outside, { recursive: true, force: true });
    }
  });

  test("a loopback receiver without CORS answers gets nothing but the preflight", async () => {
    const receiver = await startReceiver();
    const { page, close } = await openPage(browser, `http://127.0.0.1:${pagePort}/`);
    try {
      assert.deepEqual(await uploadPhotos(page, photos, receiver.url), { name: "post_complete" });
      assert.deepEqual(receiver.methods(), ["OPTIONS"]);
    } finally {
      await close();
      receiver.stop();
    }
  });

  test("a receiver that answers the preflight for the page's origin gets the files", async () => {
    const receiver = await startReceiver("--cors", `http://127.0.0.1:${pagePort}`);
    const { page, close } = await openPage(browser, `http://127.0.0.1:${pagePort}/`);
    try {
      const complete = await uploadPhotos(page, photos, receiver.url);
      assert.equal(complete.imgs.length, 2);
      assert.deepEqual(receiver.methods(), ["OPTIONS", "POST", "POST"]);
    } finally {
      await close();
      receiver.stop();
    }
  });

  test("a public page posting to loopback also needs the private-network answer", async () => {
    const origin = `http://${PUBLIC_NAME}:${pagePort}`;
    for (const [extra, files, methods] of [[[], 0, ["OPTIONS"]], [["--private-network"], 2, ["OPTIONS", "POST", "POST"]]]) {
      const receiver = await startReceiver("--cors", origin, ...extra);
      const { page, close } = await openPage(browser, `${origin}/`);
      try {
        const complete = await uploadPhotos(page, photos, receiver.url);
        assert.equal(complete.imgs?.length ?? 0, files, JSON.stringify(complete));
        assert.deepEqual(receiver.methods(), methods);
      } finally {
        await close();
        receiver.stop();
      }
    }
  });
});
