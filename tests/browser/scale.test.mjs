// The control at the page's device pixel ratio in Chromium: the canvas holds the
// element's size in device pixels, shows what the headless container draws at that
// ratio, and follows a change of the ratio (zoom, another screen).

import { after, before, describe, test } from "node:test";
import { chromium } from "playwright-core";
import { CHROMIUM, assertDrawnAt, assertShownAt, controlFrame, startHost } from "./support.mjs";

let browser;
let host;

before(async () => {
  browser = await chromium.launch({ executablePath: CHROMIUM, headless: true, args: ["--no-sandbox"] });
  host = await startHost();
});

after(async () => {
  await browser?.close();
  host?.stop();
});

async function openDemo(page) {
  await page.goto(`${host.origin}/demo/`);
  await page.waitForFunction(() => window.trellanDemo?.events.some((e) => e.name === "load_complete"), null, { timeout: 20000 });
  return controlFrame(page);
}

describe("the control at a device pixel ratio", () => {
  for (const ratio of [2, 1.5, 1.25, 3]) {
    test(`at ratio ${ratio} the page shows the device pixels the headless container draws`, async () => {
      const page = await browser.newPage({ viewport: { width: 1400, height: 820 }, deviceScaleFactor: ratio });
      try {
        const frame = await openDemo(page);
        // Drawn so, and shown on the screen's pixels unresampled: the element's place
        // on the page need not fall on a device pixel at a fractional ratio.
        await assertShownAt(page, frame, ratio, await assertDrawnAt(page, frame, ratio, `ratio-${ratio}`));
        // A press in CSS pixels lands on the control's logical point: the large add
        // button under the pointer lights up as in the headless container.
        const box = await frame.locator("canvas.trellan-control").boundingBox();
        await page.mouse.move(box.x + 400, box.y + 245);
        await assertDrawnAt(page, frame, ratio, `ratio-${ratio}-hover`, [{ mouse: "move", x: 400, y: 245 }]);
      } finally {
        await page.close();
      }
    });
  }

  test("a change of the ratio redraws the control and its thumbnails at the new one", async () => {
    const page = await browser.newPage({ viewport: { width: 1400, height: 820 }, deviceScaleFactor: 1 });
    try {
      const frame = await openDemo(page);
      await assertDrawnAt(page, frame, 1, "ratio-before");
      // A photo read at ratio 1: its thumbnail is made again for the new ratio.
      const path = await page.evaluate(async () => {
        const [first] = await (await fetch("/demo/samples")).json();
        window.trellanDemo.control.postMessage(JSON.stringify({ name: "addFile", path: first }));
        return first;
      });
      await page.waitForFunction(() => {
        const { control, events } = window.trellanDemo;
        if (events.filter((e) => e.name === "files").at(-1)?.files[0]?.width > 0) return true;
        control.postMessage(JSON.stringify({ name: "getFiles" }));
        return false;
      }, null, { timeout: 30000, polling: 500 });
      // As a zoom does, the ratio changes and the viewport's size in CSS pixels with it.
      const session = await page.context().newCDPSession(page);
      await session.send("Emulation.setDeviceMetricsOverride", { width: 1380, height: 820, deviceScaleFactor: 2, mobile: false });
      await assertDrawnAt(page, frame, 2, "ratio-after", [{ post: { name: "addFile", path } }, { pump_ms: 1500 }]);
    } finally {
      await page.close();
    }
  });
});
