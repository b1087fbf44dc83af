// The control in a real browser: Debian's chromium, driven by playwright-core, loads
// pages from a real trellan-host. What the page shows is compared with what the
// headless container (trellan-run) draws for the same input, pixel by pixel.
//
// Environment: TRELLAN_BIN_DIR (the built programs), TRELLAN_REGISTRY_DIR (the store
// with the module registered), TRELLAN_BROWSER_OUT (pictures: the demo page, failures).

import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { readdirSync, readFileSync } from "node:fs";
import { join } from "node:path";
import { chromium } from "playwright-core";
import {
  CHROMIUM, OUT, differenceFrom, freePort, headlessPicture, scrolledListDifference, settledCanvas, startHost,
} from "./support.mjs";

let browser;

before(async () => {
  browser = await chromium.launch({ executablePath: CHROMIUM, headless: true, args: ["--no-sandbox"] });
});

after(async () => {
  await browser?.close();
});

// Runs body with a new page; on failure the page is saved as a picture first.
async function withPage(name, body) {
  const page = await browser.newPage({ viewport: { width: 1400, height: 820 } });
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  try {
    await body(page);
    assert.deepEqual(errors, [], "the page raised errors");
  } catch (error) {
    await page.screenshot({ path: join(OUT, `failed-${name}.png`) }).catch(() => {});
    throw error;
  } finally {
    await page.close();
  }
}

async function openDemo(page, host, query = "") {
  await page.goto(`${host.origin}/demo/${query}`);
  await page.waitForFunction(() => window.trellanDemo?.events.some((e) => e.name === "load_complete"), null, { timeout: 20000 });
}

async function elementBox(page) {
  return page.locator("canvas.trellan-control").boundingBox();
}

async function notice(page) {
  await page.waitForFunction(() => getComputedStyle(document.querySelector(".trellan-notice")).display !== "none",
    null, { timeout: 20000 });
  return page.locator(".trellan-notice").textContent();
}

describe("the control in a page", () => {
  let host;
  before(async () => (host = await startHost()));
  after(() => host.stop());

  test("the demo page shows the control as the headless container draws it", async () => {
    await withPage("demo", async (page) => {
      await openDemo(page, host);
      await settledCanvas(page);
      await page.screenshot({ path: join(OUT, "demo-page.png") });
      const box = await elementBox(page);
      assert.deepEqual([box.width, box.height], [800, 560]);
      const difference = await differenceFrom(page, headlessPicture("demo", 800, 560, []));
      assert.equal(difference.size, "same");
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ`);
    });
  });

  test("pointer input reaches the control and its answer comes back as pixels", async () => {
    await withPage("pointer", async (page) => {
      await openDemo(page, host);
      const box = await elementBox(page);
      await settledCanvas(page);
      const before = await settledCanvas(page);
      // The middle of the empty list holds the large add button, which lights up under the pointer.
      await page.mouse.move(box.x + 400, box.y + 245);
      const after = await settledCanvas(page);
      assert.notEqual(after, before);
      const difference = await differenceFrom(page, headlessPicture("hover", 800, 560, [{ mouse: "move", x: 400, y: 245 }]));
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ from the headless hover`);
    });
  });

  test("the control follows the element's size", async () => {
    await withPage("resize", async (page) => {
      await openDemo(page, host);
      await page.evaluate(() => Object.assign(document.getElementById("uploader").style, { width: "600px", height: "400px" }));
      await page.waitForFunction(() => document.querySelector("canvas.trellan-control").width === 600);
      await settledCanvas(page);
      const difference = await differenceFrom(page, headlessPicture("resized", 600, 400, []));
      assert.equal(difference.size, "same");
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ`);
    });
  });

  test("events reach recvMessage in order, after postMessage returns", async () => {
    await withPage("events", async (page) => {
      await openDemo(page, host);
      const seen = await page.evaluate(async () => {
        const { control } = window.trellanDemo;
        const order = [];
        let received = 0;
        const done = new Promise((resolve) => {
          control.recvMessage = (text) => {
            order.push(JSON.parse(text).name);
            if (++received === 3) resolve();
          };
        });
        for (let i = 0; i < 3; i++) control.postMessage(JSON.stringify({ name: "init", config: { ThreadCount: i + 1 } }));
        order.push("returned");
        await done;
        return order;
      });
      assert.deepEqual(seen, ["returned", "load_complete", "load_complete", "load_complete"]);
    });
  });

  test("a message over the size limit ends only its own session", async () => {
    await withPage("oversized", async (page) => {
      await withPage("witness", async (witness) => {
        await openDemo(page, host);
        await openDemo(witness, host);
        await page.evaluate(() => window.trellanDemo.control.postMessage("x".repeat(5 << 20)));
        assert.match(await notice(page), /too large/);
        await witness.click("#init");
        await witness.waitForFunction(() => window.trellanDemo.events.filter((e) => e.name === "load_complete").length === 2);
      });
    });
  });
});

describe("refusals and failures", () => {
  test("a page from an origin not on the list is refused with a clear message", async () => {
    const allowed = await startHost();
    const other = await startHost();
    try {
      await withPage("refused", async (page) => {
        await page.goto(`${other.origin}/demo/?host=${allowed.origin}`);
        const text = await notice(page);
        assert.match(text, new RegExp(`does not allow pages from ${other.origin}`));
        assert.match(text, /--allow-origin/);
        assert.deepEqual(allowed.sessions(), []);
      });
    } finally {
      allowed.stop();
      other.stop();
    }
  });

  test("a page whose host is not running says so", async () => {
    const host = await startHost();
    const nowhere = `http://127.0.0.1:${await freePort()}`;
    try {
      await withPage("not-running", async (page) => {
        await page.goto(`${host.origin}/demo/?host=${nowhere}`);
        assert.match(await notice(page), /not running/);
      });
    } finally {
      host.stop();
    }
  });

  test("killing a session's process shows the error in its page and nowhere else", async () => {
    const host = await startHost();
    try {
      await withPage("killed", async (page) => {
        await withPage("survivor", async (survivor) => {
          await openDemo(page, host);
          const [first] = host.sessions();
          await openDemo(survivor, host);
          process.kill(first, "SIGKILL");
          assert.match(await notice(page), /process ended/);
          await survivor.click("#init");
          await survivor.waitForFunction(() => window.trellanDemo.events.filter((e) => e.name === "load_complete").length === 2);
        });
      });
    } finally {
      host.stop();
    }
  });
});

describe("photos in the list", () => {
  let host;
  before(async () => (host = await startHost()));
  after(() => host.stop());

  const uploaded = () => {
    try {
      return readdirSync(join(host.folder, "uploads")).length;
    } catch {
      return 0;
    }
  };

  async function distinctColours(page) {
    return page.evaluate(() => {
      const canvas = document.querySelector("canvas.trellan-control");
      const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
      const colours = new Set();
      for (let i = 0; i < data.length; i += 4) colours.add((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]);
      return colours.size;
    });
  }

  test("addFile shows tiles and the upload button sends them to the receiver", async () => {
    await withPage("tiles", async (page) => {
      await openDemo(page, host);
      await settledCanvas(page);
      const empty = await distinctColours(page);
      const before = uploaded();
      await page.click("button[data-sample='0']");
      await page.click("button[data-sample='1']");
      await settledCanvas(page);
      // The sample photos are colour gradients: their thumbnails bring hundreds of colours.
      assert.ok((await distinctColours(page)) > empty + 300);
      const box = await elementBox(page);
      await page.mouse.click(box.x + 135, box.y + 16);
      await page.waitForFunction(() => window.trellanDemo.events.some((e) => e.name === "post_complete"), null, { timeout: 30000 });
      const done = await page.evaluate(() => window.trellanDemo.events.find((e) => e.name === "post_complete"));
      assert.equal(done.imgs.length, 2);
      assert.equal(uploaded(), before + 2);
    });
  });

  test("a list scrolled with the wheel shows what the headless container draws", async () => {
    await withPage("scroll", async (page) => {
      await openDemo(page, host);
      const difference = await scrolledListDifference(page, "scrolled", await elementBox(page), {
        movePointer: (x, y) => page.mouse.move(x, y),
        turnWheel: (deltaY) => page.mouse.wheel(0, deltaY),
      });
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ from the headless list`);
    });
  });

  test("files dropped on the element become tiles", async () => {
    await withPage("drop", async (page) => {
      await openDemo(page, host);
      await settledCanvas(page);
      const empty = await distinctColours(page);
      const bytes = readFileSync(join(host.folder, "samples", readdirSync(join(host.folder, "samples"))[0])).toString("base64");
      await page.evaluate(async (bytes) => {
        const data = Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0));
        const transfer = new DataTransfer();
        transfer.items.add(new File([data], "拖放的照片.png", { type: "image/png" }));
        const target = document.getElementById("uploader");
        const rect = target.getBoundingClientRect();
        const init = { dataTransfer: transfer, bubbles: true, cancelable: true, clientX: rect.left + 300, clientY: rect.top + 300 };
        for (const type of ["dragenter", "dragover", "drop"]) target.dispatchEvent(new DragEvent(type, init));
      }, bytes);
      await settledCanvas(page);
      assert.ok((await distinctColours(page)) > empty + 300);
    });
  });

  test("the file-add dialog opens as an overlay and closes with Esc", async () => {
    await withPage("dialog-esc", async (page) => {
      await openDemo(page, host);
      const box = await elementBox(page);
      await page.mouse.click(box.x + 60, box.y + 16);
      await page.waitForSelector("canvas.trellan-overlay", { state: "visible", timeout: 10000 });
      await page.keyboard.press("Escape");
      await page.waitForSelector("canvas.trellan-overlay", { state: "detached", timeout: 10000 });
    });
  });

  test("a tile's edit button opens the editor as an overlay, and its Cancel closes it", async () => {
    await withPage("editor", async (page) => {
      await openDemo(page, host);
      await page.click("button[data-sample='0']");
      await settledCanvas(page);
      const box = await elementBox(page);
      // The first tile's buttons show under the pointer; the pencil is the third.
      await page.mouse.move(box.x + 70, box.y + 120);
      await page.mouse.click(box.x + 80, box.y + 166);
      await page.waitForSelector("canvas.trellan-overlay", { state: "visible", timeout: 10000 });
      await settledCanvas(page, "canvas.trellan-overlay");
      await page.screenshot({ path: join(OUT, "editor.png") });
      const editor = await page.locator("canvas.trellan-overlay").boundingBox();
      assert.ok(editor.width >= 600 && editor.height >= 400, `${editor.width}x${editor.height}`);
      await page.mouse.click(editor.x + editor.width - 44, editor.y + editor.height - 17);
      await page.waitForSelector("canvas.trellan-overlay", { state: "detached", timeout: 10000 });
    });
  });

  test("photos chosen in the dialog become tiles, take a Chinese remark and reach the receiver", async () => {
    await withPage("dialog-upload", async (page) => {
      await openDemo(page, host);
      await page.evaluate((folder) => window.trellanDemo.control.postMessage(JSON.stringify({ name: "setFolder", path: folder })),
        join(host.folder, "samples"));
      await settledCanvas(page);
      const empty = await distinctColours(page);
      const before = uploaded();
      const box = await elementBox(page);
      await page.mouse.click(box.x + 60, box.y + 16);
      await page.waitForSelector("canvas.trellan-overlay", { state: "visible", timeout: 10000 });
      await settledCanvas(page, "canvas.trellan-overlay");
      await page.screenshot({ path: join(OUT, "file-add-dialog.png") });
      // Its "select all" box and OK button sit in the dialog's bottom row.
      const dialog = await page.locator("canvas.trellan-overlay").boundingBox();
      await page.mouse.click(dialog.x + 216, dialog.y + 502);
      await page.mouse.click(dialog.x + 720, dialog.y + 502);
      await page.waitForSelector("canvas.trellan-overlay", { state: "detached", timeout: 10000 });
      await settledCanvas(page);
      // The sample photos are colour gradients: their thumbnails bring hundreds of colours.
      assert.ok((await distinctColours(page)) > empty + 300);

      // The first tile's caption takes the remark, typed as an input method commits it.
      await page.mouse.click(box.x + 60, box.y + 196);
      await page.keyboard.insertText("中文备注");
      await page.keyboard.press("Enter");
      await settledCanvas(page);
      await page.screenshot({ path: join(OUT, "tiles-with-remark.png") });

      await page.mouse.click(box.x + 135, box.y + 16);
      await page.waitForFunction(() => window.trellanDemo.events.some((e) => e.name === "post_complete"), null, { timeout: 30000 });
      const done = await page.evaluate(() => window.trellanDemo.events.find((e) => e.name === "post_complete"));
      assert.equal(done.imgs.length, 3);
      assert.ok(done.imgs.every((img) => img.svr.success === 1));
      // The remark goes on the wire percent-encoded as UTF-8.
      const remarks = done.imgs.map((img) => decodeURIComponent(img.svr.fields.remark.replace(/\+/g, " ")));
      assert.ok(remarks.includes("中文备注"), JSON.stringify(remarks));
      assert.equal(uploaded(), before + 3);
    });
  });
});
