// The control in Firefox: Debian's firefox-esr, driven by puppeteer-core over WebDriver
// BiDi, loads the demo page from a real trellan-host. The page must show what the
// headless container draws, scrolled lists included, and upload through the control.

import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { readdirSync } from "node:fs";
import { join } from "node:path";
import puppeteer from "puppeteer-core";
import { OUT, differenceFrom, headlessPicture, scrolledListDifference, settledCanvas, startHost } from "./support.mjs";

const FIREFOX = process.env.FIREFOX || "/usr/bin/firefox-esr";

let browser;

before(async () => {
  browser = await puppeteer.launch({ browser: "firefox", executablePath: FIREFOX, headless: true });
});

after(async () => {
  await browser?.close();
});

async function withPage(name, body) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1400, height: 820 });
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  try {
    await body(page);
    assert.deepEqual(errors, [], "the page raised errors");
  } catch (error) {
    await page.screenshot({ path: join(OUT, `firefox-failed-${name}.png`) }).catch(() => {});
    throw error;
  } finally {
    await page.close();
  }
}

async function openDemo(page, host) {
  await page.goto(`${host.origin}/demo/`);
  await page.waitForFunction(() => window.trellanDemo?.events.some((e) => e.name === "load_complete"), { timeout: 20000 });
}

async function elementBox(page) {
  return (await page.$("canvas.trellan-control")).boundingBox();
}

describe("the control in Firefox", () => {
  let host;
  before(async () => (host = await startHost()));
  after(() => host.stop());

  test("the demo page shows the control as the headless container draws it", async () => {
    await withPage("demo", async (page) => {
      await openDemo(page, host);
      await settledCanvas(page);
      await page.screenshot({ path: join(OUT, "firefox-demo-page.png") });
      const difference = await differenceFrom(page, headlessPicture("firefox-demo", 800, 560, []));
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ (${difference.size})`);
    });
  });

  test("photos added by the page upload to the receiver through the control's button", async () => {
    await withPage("upload", async (page) => {
      await openDemo(page, host);
      await settledCanvas(page);
      const uploads = join(host.folder, "uploads");
      const count = () => readdirSync(uploads, { withFileTypes: true }).length;
      let before = 0;
      try {
        before = count();
      } catch {
        before = 0;
      }
      await page.click("button[data-sample='0']");
      await page.click("button[data-sample='1']");
      await settledCanvas(page);
      const box = await elementBox(page);
      await page.mouse.click(box.x + 135, box.y + 16);
      await page.waitForFunction(() => window.trellanDemo.events.some((e) => e.name === "post_complete"), { timeout: 30000 });
      const done = await page.evaluate(() => window.trellanDemo.events.find((e) => e.name === "post_complete"));
      assert.equal(done.imgs.length, 2);
      assert.equal(count(), before + 2);
    });
  });

  test("a list scrolled with the wheel shows what the headless container draws", async () => {
    await withPage("scroll", async (page) => {
      await openDemo(page, host);
      const difference = await scrolledListDifference(page, "firefox-scrolled", await elementBox(page), {
        movePointer: (x, y) => page.mouse.move(x, y),
        turnWheel: (deltaY) => page.mouse.wheel({ deltaY }),
      });
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ from the headless list`);
    });
  });
});
