// The control in Firefox: Debian's firefox-esr, driven by puppeteer-core over WebDriver
// BiDi, loads pages from a real trellan-host and from an origin of their own. The
// control's frame must show what the headless container draws, scrolled lists and
// device pixel ratios 2 and 1.5 included, cover the viewport for its forms, upload
// through the control, and keep its pixels and input from the page.

import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { readdirSync } from "node:fs";
import { join } from "node:path";
import puppeteer from "puppeteer-core";
import {
  OUT, assertDrawnAt, assertShownAt, controlFrame, differenceFrom, embeddingPage, headlessPicture, hostWithPages, legacyPage,
  scrolledListDifference, settledCanvas, startHost,
} from "./support.mjs";

const FIREFOX = process.env.FIREFOX || "/usr/bin/firefox-esr";

let browser;

before(async () => {
  browser = await puppeteer.launch({ browser: "firefox", executablePath: FIREFOX, headless: true });
});

after(async () => {
  await browser?.close();
});

// Runs body with a new page. Firefox reports the console's errors as page errors too;
// those a test provokes on purpose match expected. A tab closed over WebDriver BiDi keeps
// its documents' sockets open (window.close() does not), so the page is left first: its
// control's session ends as when a user leaves, and frees the host's slot for the origin.
async function withPage(name, body, expected = /$^/) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1400, height: 820 });
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  try {
    await body(page);
    assert.deepEqual(errors.filter((text) => !expected.test(text)), [], "the page raised errors");
  } catch (error) {
    await page.screenshot({ path: join(OUT, `firefox-failed-${name}.png`) }).catch(() => {});
    throw error;
  } finally {
    await page.goto("about:blank").catch(() => {});
    await page.close();
  }
}

async function openDemo(page, host, query = "") {
  await page.goto(`${host.origin}/demo/${query}`);
  await page.waitForFunction(() => window.trellanDemo?.events.some((e) => e.name === "load_complete"), { timeout: 20000 });
  return controlFrame(page);
}

async function elementBox(frame) {
  return (await frame.$("canvas.trellan-control")).boundingBox();
}

async function frameSize(page) {
  return page.evaluate(() => {
    const box = document.querySelector("iframe.trellan-frame").getBoundingClientRect();
    return [box.width, box.height];
  });
}

// Clicks at (x, y) of the control and waits for a form over the viewport-sized frame.
async function openForm(page, frame, x, y) {
  const box = await elementBox(frame);
  await page.mouse.click(box.x + x, box.y + y);
  await frame.waitForSelector("canvas.trellan-overlay", { visible: true, timeout: 10000 });
  assert.deepEqual(await frameSize(page), [1400, 820]);
  return (await frame.$("canvas.trellan-overlay")).boundingBox();
}

async function formClosed(page, frame) {
  await frame.waitForSelector("canvas.trellan-overlay", { hidden: true, timeout: 10000 });
  await page.waitForFunction(() => document.querySelector("iframe.trellan-frame").getBoundingClientRect().width === 800,
    { timeout: 10000 });
}

describe("the control in Firefox", () => {
  const site = hostWithPages();

  test("the demo page shows the control's frame as the headless container draws it", async () => {
    await withPage("demo", async (page) => {
      const frame = await openDemo(page, site.host);
      await settledCanvas(frame);
      await page.screenshot({ path: join(OUT, "firefox-demo-page.png") });
      const difference = await differenceFrom(frame, headlessPicture("firefox-demo", 800, 560, []));
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ (${difference.size})`);
    });
  });

  test("photos added by the page upload to the receiver through the control's button", async () => {
    await withPage("upload", async (page) => {
      const frame = await openDemo(page, site.host);
      await settledCanvas(frame);
      const uploads = join(site.host.folder, "uploads");
      const count = () => readdirSync(uploads, { withFileTypes: true }).length;
      let before = 0;
      try {
        before = count();
      } catch {
        before = 0;
      }
      await page.click("button[data-sample='0']");
      await page.click("button[data-sample='1']");
      await settledCanvas(frame);
      const box = await elementBox(frame);
      await page.mouse.click(box.x + 135, box.y + 16);
      await page.waitForFunction(() => window.trellanDemo.events.some((e) => e.name === "post_complete"), { timeout: 60000 });
      const done = await page.evaluate(() => window.trellanDemo.events.find((e) => e.name === "post_complete"));
      assert.equal(done.imgs?.length, 2, JSON.stringify(done));
      assert.equal(count(), before + 2);
    });
  });

  test("a list scrolled with the wheel shows what the headless container draws", async () => {
    await withPage("scroll", async (page) => {
      const frame = await openDemo(page, site.host);
      const difference = await scrolledListDifference(page, frame, "firefox-scrolled", await elementBox(frame), {
        movePointer: (x, y) => page.mouse.move(x, y),
        turnWheel: (deltaY) => page.mouse.wheel({ deltaY }),
      });
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ from the headless list`);
    });
  });

  test("the file-add dialog and the editor cover the viewport with the frame while they are open", async () => {
    await withPage("forms", async (page) => {
      const frame = await openDemo(page, site.host);
      await openForm(page, frame, 60, 16);
      await settledCanvas(frame, "canvas.trellan-overlay");
      await page.screenshot({ path: join(OUT, "firefox-file-add-dialog.png") });
      await page.keyboard.press("Escape");
      await formClosed(page, frame);
      await page.click("button[data-sample='0']");
      await settledCanvas(frame);
      const box = await elementBox(frame);
      await page.mouse.move(box.x + 70, box.y + 120);
      const editor = await openForm(page, frame, 80, 166);
      assert.ok(editor.width >= 600 && editor.height >= 400, `${editor.width}x${editor.height}`);
      await page.mouse.click(editor.x + editor.width - 44, editor.y + editor.height - 17);
      await formClosed(page, frame);
    });
  });

  for (const ratio of [2, 1.5, 1.25, 3]) {
    test(`at device pixel ratio ${ratio} the canvas holds and the page shows the device pixels the headless container draws`, async () => {
      await withPage(`ratio-${ratio}`, async (page) => {
        await page.setViewport({ width: 1400, height: 820, deviceScaleFactor: ratio });
        const frame = await openDemo(page, site.host);
        await assertShownAt(page, frame, ratio, await assertDrawnAt(page, frame, ratio, `firefox-ratio-${ratio}`));
        // The pointer's CSS pixels are the control's logical points.
        const box = await elementBox(frame);
        await page.mouse.move(box.x + 400, box.y + 245);
        await assertDrawnAt(page, frame, ratio, `firefox-ratio-${ratio}-hover`, [{ mouse: "move", x: 400, y: 245 }]);
      });
    });
  }

  test("a page of another origin not on the list cannot show the frame and says why", async () => {
    const other = await startHost();
    try {
      await withPage("refused", async (page) => {
        await page.goto(`${other.origin}/demo/?host=${site.host.origin}`);
        await page.waitForFunction(() => /does not allow pages/.test(document.querySelector("#log").textContent), { timeout: 30000 });
        const text = await page.evaluate(() => document.querySelector(".trellan-notice").textContent);
        assert.match(text, new RegExp(`does not allow pages from ${other.origin}.*\\n.*--allow-origin`));
      }, /frame-ancestors|target origin provided/);
    } finally {
      other.stop();
    }
  });

  test("an allowed page can neither read the frame's pixels, nor send it input, nor open a session", async () => {
    await withPage("hostile", async (page) => {
      site.pages.set("/hostile.html", embeddingPage(`${site.host.origin}/trellan.js`, site.host.origin));
      await page.goto(`${site.pages.origin}/hostile.html`);
      await page.waitForFunction(() => window.events?.some((e) => e.name === "load_complete"), { timeout: 20000 });
      const frame = await controlFrame(page);
      const attempts = await page.evaluate(async (host) => {
        const iframe = document.querySelector("iframe.trellan-frame");
        const result = { contentDocument: iframe.contentDocument };
        try {
          result.read = iframe.contentWindow.document.querySelector("canvas").toDataURL().length;
        } catch (error) {
          result.read = error.name;
        }
        const rect = iframe.getBoundingClientRect();
        for (const type of ["mousedown", "mouseup", "click"])
          iframe.dispatchEvent(new MouseEvent(type, { clientX: rect.left + 60, clientY: rect.top + 16, bubbles: true }));
        iframe.contentWindow.postMessage({ t: "mouse", a: "down", b: 0, x: 90, y: 46 }, host);
        iframe.contentWindow.postMessage({ t: "mouse", a: "up", b: 0, x: 90, y: 46 }, host);
        result.socket = await new Promise((resolve) => {
          const socket = new WebSocket(`${host.replace("http", "ws")}/session?origin=${encodeURIComponent(location.origin)}`);
          socket.onopen = () => resolve("opened");
          socket.onclose = (event) => resolve(`closed ${event.code}`);
        });
        return result;
      }, site.host.origin);
      assert.deepEqual(attempts, { contentDocument: null, read: "SecurityError", socket: "closed 1006" });
      await new Promise((resolve) => setTimeout(resolve, 1000));
      assert.equal(await frame.evaluate(() => document.querySelectorAll("canvas.trellan-overlay").length), 0);
      await openForm(page, frame, 60, 16);
    }, /can’t establish a connection to the server at ws:/);
  });

  test("a page written for the original control runs with one added module script", async () => {
    await withPage("legacy", async (page) => {
      site.pages.set("/legacy.html", legacyPage(`${site.host.origin}/trellan.js`, site.host.origin));
      await page.goto(`${site.pages.origin}/legacy.html`);
      await page.waitForFunction(() => window.received.some((e) => e.name === "load_complete"), { timeout: 20000 });
      const frame = await controlFrame(page);
      const box = await elementBox(frame);
      assert.deepEqual([box.width, box.height], [700, 460]);
      assert.equal(await page.evaluate(() => document.getElementById("uploader").tagName), "DIV");
    });
  });
});
