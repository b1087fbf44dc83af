// The control in a real browser: Debian's chromium, driven by playwright-core, loads
// pages from a real trellan-host. What the control's frame shows is compared with what
// the headless container (trellan-run) draws for the same input, pixel by pixel; pages
// of other origins, hostile ones among them, embed the frame.
//
// Environment: TRELLAN_BIN_DIR (the built programs), TRELLAN_REGISTRY_DIR (the store
// with the module registered), TRELLAN_BROWSER_OUT (pictures: the demo page, failures).

import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { readdirSync, readFileSync, statSync } from "node:fs";
import { join } from "node:path";
import { chromium } from "playwright-core";
import {
  CHROMIUM, OUT, controlFrame, differenceFrom, embeddingPage, freePort, headlessPicture, hostWithPages, legacyPage,
  scrolledListDifference, settledCanvas, startHost, startPages,
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

// Opens the demo page and returns the control's frame.
async function openDemo(page, host, query = "") {
  await page.goto(`${host.origin}/demo/${query}`);
  await page.waitForFunction(() => window.trellanDemo?.events.some((e) => e.name === "load_complete"), null, { timeout: 20000 });
  return controlFrame(page);
}

async function elementBox(frame) {
  return frame.locator("canvas.trellan-control").boundingBox();
}

async function frameBox(page) {
  return page.locator("iframe.trellan-frame").boundingBox();
}

// Opens a form of the control by clicking at (x, y) of its canvas; returns the form's
// canvas box once the frame covers the viewport around it.
async function openForm(page, frame, x, y) {
  const box = await elementBox(frame);
  // A press counts only once the frame has been seen visible for a moment (the decoy
  // guard); a user whose first click came too soon clicks again.
  for (let attempt = 1; ; attempt++) {
    await page.mouse.click(box.x + x, box.y + y);
    try {
      await frame.waitForSelector("canvas.trellan-overlay", { state: "visible", timeout: 2000 });
      break;
    } catch (error) {
      if (attempt === 5) throw error;
    }
  }
  assert.deepEqual(await frameBox(page), { x: 0, y: 0, width: 1400, height: 820 });
  return frame.locator("canvas.trellan-overlay").boundingBox();
}

async function formClosed(page, frame, element) {
  await frame.waitForSelector("canvas.trellan-overlay", { state: "detached", timeout: 10000 });
  await page.waitForFunction((want) => {
    const box = document.querySelector("iframe.trellan-frame").getBoundingClientRect();
    return box.width === want.width && box.height === want.height;
  }, element, { timeout: 10000 });
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

  test("the demo page shows the control's frame as the headless container draws it", async () => {
    await withPage("demo", async (page) => {
      const frame = await openDemo(page, host);
      await settledCanvas(frame);
      await page.screenshot({ path: join(OUT, "demo-page.png") });
      const box = await elementBox(frame);
      assert.deepEqual([box.width, box.height], [800, 560]);
      assert.equal(await page.evaluate(() => document.querySelectorAll("canvas").length), 0, "the page holds no canvas");
      const difference = await differenceFrom(frame, headlessPicture("demo", 800, 560, []));
      assert.equal(difference.size, "same");
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ`);
    });
  });

  test("pointer input reaches the control and its answer comes back as pixels", async () => {
    await withPage("pointer", async (page) => {
      const frame = await openDemo(page, host);
      const box = await elementBox(frame);
      const before = await settledCanvas(frame);
      // The middle of the empty list holds the large add button, which lights up under the pointer.
      await page.mouse.move(box.x + 400, box.y + 245);
      const after = await settledCanvas(frame);
      assert.notEqual(after, before);
      const difference = await differenceFrom(frame, headlessPicture("hover", 800, 560, [{ mouse: "move", x: 400, y: 245 }]));
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ from the headless hover`);
    });
  });

  test("the control follows the element's size", async () => {
    await withPage("resize", async (page) => {
      const frame = await openDemo(page, host);
      await page.evaluate(() => Object.assign(document.getElementById("uploader").style, { width: "600px", height: "400px" }));
      await frame.waitForFunction(() => document.querySelector("canvas.trellan-control").width === 600);
      await settledCanvas(frame);
      const difference = await differenceFrom(frame, headlessPicture("resized", 600, 400, []));
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
  test("a page from an origin not on the list cannot show the frame and says why", async () => {
    const allowed = await startHost();
    const other = await startHost();
    try {
      await withPage("refused", async (page) => {
        const blocked = page.waitForResponse((response) => response.url() === `${allowed.origin}/frame`);
        await page.goto(`${other.origin}/demo/?host=${allowed.origin}`);
        const policy = (await blocked).headers()["content-security-policy"];
        assert.match(policy, new RegExp(`frame-ancestors [^;]*${allowed.origin}`));
        assert.doesNotMatch(policy, new RegExp(other.origin));
        const text = await notice(page);
        assert.match(text, new RegExp(`does not allow pages from ${other.origin}`));
        assert.match(text, /--allow-origin/);
        assert.equal(page.frames().some((frame) => frame.url() === `${allowed.origin}/frame`), false);
        assert.deepEqual(allowed.sessions(), []);
        assert.match(await page.evaluate(() => document.querySelector("#log").textContent), /does not allow pages/);
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

  test("a session the host refuses rejects create() with the reason in the element", async () => {
    const host = await startHost("--max-sessions", "1");
    try {
      await withPage("first", async (first) => {
        await withPage("second", async (second) => {
          await openDemo(first, host);
          await second.goto(`${host.origin}/demo/`);
          assert.match(await notice(second), /too many sessions are open \(at most 1\)/);
          assert.match(await second.evaluate(() => document.querySelector("#log").textContent), /too many sessions/);
          assert.equal(host.sessions().length, 1);
        });
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

  // Waits until the canvas shows more than least colours: the tiles' thumbnails are in.
  // Reading photos of several megabytes may outlast the canvas's settling on a slow machine.
  async function colourfulCanvas(frame, least) {
    let colours = 0;
    for (let round = 0; round < 120 && colours <= least; round++) {
      await settledCanvas(frame);
      colours = await distinctColours(frame);
    }
    assert.ok(colours > least, `${colours} colours on the canvas`);
  }

  async function distinctColours(frame) {
    return frame.evaluate(() => {
      const canvas = document.querySelector("canvas.trellan-control");
      const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
      const colours = new Set();
      for (let i = 0; i < data.length; i += 4) colours.add((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]);
      return colours.size;
    });
  }

  test("addFile shows tiles and the upload button sends the photos to the receiver", async () => {
    await withPage("tiles", async (page) => {
      const frame = await openDemo(page, host);
      await settledCanvas(frame);
      const empty = await distinctColours(frame);
      const before = uploaded();
      await page.click("button[data-sample='0']");
      await page.click("button[data-sample='1']");
      // The sample photos are noisy gradients: their thumbnails bring hundreds of colours.
      await colourfulCanvas(frame, empty + 300);
      const box = await elementBox(frame);
      await page.mouse.click(box.x + 135, box.y + 16);
      await page.waitForFunction(() => window.trellanDemo.events.some((e) => e.name === "post_complete"), null, { timeout: 60000 });
      const done = await page.evaluate(() => window.trellanDemo.events.find((e) => e.name === "post_complete"));
      assert.equal(done.imgs?.length, 2, JSON.stringify(done));
      assert.equal(uploaded(), before + 2);
    });
  });

  test("a page draws its own progress bar from the control's per-file events", async () => {
    await withPage("progress-bar", async (page) => {
      const frame = await openDemo(page, host);
      // The page's own bar: the mean of the task's files' shares sent, from
      // "upload_started", "upload_progress" and "upload_success".
      await page.evaluate(() => {
        const { control } = window.trellanDemo;
        const track = document.createElement("div");
        track.style.cssText = "position:fixed;left:20px;top:4px;width:400px;height:14px;border:1px solid #333;background:#fff";
        const bar = document.createElement("div");
        bar.id = "bar";
        bar.style.cssText = "height:100%;width:0;background:#2a8f4a";
        track.append(bar);
        document.body.append(track);
        const shares = new Map();
        let count = 0;
        window.barWidths = [];
        const shown = control.recvMessage;
        control.recvMessage = (text) => {
          shown(text);
          const event = JSON.parse(text);
          if (event.name === "upload_started") {
            shares.clear();
            count = event.count;
          }
          if (event.name === "upload_progress" && event.total > 0) shares.set(event.id, event.sent / event.total);
          if (event.name === "upload_success") shares.set(event.id, 1);
          if (!["upload_progress", "upload_success"].includes(event.name)) return;
          const mean = [...shares.values()].reduce((sum, share) => sum + share, 0) / count;
          bar.style.width = `${Math.round(mean * 100)}%`;
          window.barWidths.push(Math.round(mean * 100));
        };
        control.postMessage(JSON.stringify({ name: "init", config: { PostUrl: `${location.origin}/demo/upload`, Events: true } }));
      });
      await page.click("button[data-sample='0']");
      await page.click("button[data-sample='1']");
      // Both photos are tiles with their pictures read before the upload starts: on a
      // slow machine reading several megabytes outlasts the canvas's settling.
      await page.waitForFunction(() => {
        const { control, events } = window.trellanDemo;
        const listed = events.filter((e) => e.name === "files").at(-1);
        if (listed?.files.length === 2 && listed.files.every((file) => file.width > 0)) return true;
        control.postMessage(JSON.stringify({ name: "getFiles" }));
        return false;
      }, null, { timeout: 60000, polling: 500 });
      await settledCanvas(frame);
      const box = await elementBox(frame);
      await page.mouse.click(box.x + 135, box.y + 16);
      await page.waitForFunction(() => window.trellanDemo.events.some((e) => e.name === "upload_finished"), null, { timeout: 90000 });
      const events = await page.evaluate(() => window.trellanDemo.events);
      const names = events.map((event) => event.name).filter((name) => !["upload_progress", "files"].includes(name));
      assert.deepEqual(names.slice(names.indexOf("upload_started")),
        ["upload_started", "upload_success", "upload_success", "file_removed", "file_removed", "upload_finished", "post_complete"],
        JSON.stringify(events));
      // The page's paths are its own to know; the bar grew to full, through steps between.
      assert.ok(events.filter((e) => e.name === "file_added").every((e) => e.fileName.startsWith("/")), JSON.stringify(events));
      const widths = await page.evaluate(() => window.barWidths);
      assert.ok(widths.some((width) => width > 0 && width < 100), JSON.stringify(widths));
      const steps = events.filter((e) => ["upload_progress", "upload_success"].includes(e.name));
      assert.deepEqual([...widths].sort((a, b) => a - b), widths, JSON.stringify(steps));
      assert.equal(widths.at(-1), 100);
      assert.equal(await page.evaluate(() => document.getElementById("bar").style.width), "100%");
      await page.screenshot({ path: join(OUT, "progress-bar.png"), clip: { x: 0, y: 0, width: 440, height: 24 } });
    });
  });

  test("a list scrolled with the wheel shows what the headless container draws", async () => {
    await withPage("scroll", async (page) => {
      const frame = await openDemo(page, host);
      const difference = await scrolledListDifference(page, frame, "scrolled", await elementBox(frame), {
        movePointer: (x, y) => page.mouse.move(x, y),
        turnWheel: (deltaY) => page.mouse.wheel(0, deltaY),
      });
      assert.ok(difference.share < 0.001, `${difference.share} of the pixels differ from the headless list`);
    });
  });

  test("a photo of several megabytes dropped on the frame becomes a tile", async () => {
    await withPage("drop", async (page) => {
      const frame = await openDemo(page, host);
      await settledCanvas(frame);
      const empty = await distinctColours(frame);
      const sample = join(host.folder, "samples", readdirSync(join(host.folder, "samples"))[0]);
      const bytes = readFileSync(sample).toString("base64");
      assert.ok(bytes.length > 4 << 20);
      // The drop happens in the frame, where the user's drop lands; the page has no way in.
      await frame.evaluate(async (bytes) => {
        const data = Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0));
        const transfer = new DataTransfer();
        transfer.items.add(new File([data], "拖放的照片.png", { type: "image/png" }));
        const init = { dataTransfer: transfer, bubbles: true, cancelable: true, clientX: 300, clientY: 300 };
        const target = document.elementFromPoint(300, 300);
        for (const type of ["dragenter", "dragover", "drop"]) target.dispatchEvent(new DragEvent(type, init));
      }, bytes);
      await colourfulCanvas(frame, empty + 300);
    });
  });

  test("the file-add dialog covers the viewport with the frame and closes with Esc", async () => {
    await withPage("dialog-esc", async (page) => {
      const frame = await openDemo(page, host);
      const element = await frameBox(page);
      assert.deepEqual([element.width, element.height], [800, 560]);
      const dialog = await openForm(page, frame, 60, 16);
      await settledCanvas(frame, "canvas.trellan-overlay");
      await page.screenshot({ path: join(OUT, "file-add-dialog-backdrop.png") });
      // The dialog is placed on the page's viewport, which the frame now covers.
      assert.ok(dialog.x > 0 && dialog.x + dialog.width <= 1400 && dialog.y + dialog.height <= 820, JSON.stringify(dialog));
      await page.keyboard.press("Escape");
      await formClosed(page, frame, element);
      assert.deepEqual(await frameBox(page), element);
    });
  });

  test("the sort order's drop-down list opens below its box over the page and closes with Esc", async () => {
    await withPage("combo", async (page) => {
      const frame = await openDemo(page, host);
      const element = await frameBox(page);
      const control = await elementBox(frame);
      const list = await openForm(page, frame, 750, 15);
      await page.screenshot({ path: join(OUT, "sort-list.png") });
      // The sort box's lower left corner is at (704, 27) of the control; the list hangs from it.
      assert.ok(Math.abs(list.x - (control.x + 704)) <= 2 && Math.abs(list.y - (control.y + 27)) <= 2,
        JSON.stringify({ list, control }));
      await page.keyboard.press("Escape");
      await formClosed(page, frame, element);
    });
  });

  test("a tile's edit button opens the editor over the page, and its Cancel closes it", async () => {
    await withPage("editor", async (page) => {
      const frame = await openDemo(page, host);
      await page.click("button[data-sample='0']");
      await settledCanvas(frame);
      const element = await frameBox(page);
      const box = await elementBox(frame);
      // The first tile's buttons show under the pointer; the pencil is the third.
      await page.mouse.move(box.x + 70, box.y + 120);
      const editor = await openForm(page, frame, 80, 166);
      await settledCanvas(frame, "canvas.trellan-overlay");
      await page.screenshot({ path: join(OUT, "editor.png") });
      assert.ok(editor.width >= 600 && editor.height >= 400, `${editor.width}x${editor.height}`);
      await page.mouse.click(editor.x + editor.width - 44, editor.y + editor.height - 17);
      await formClosed(page, frame, element);
    });
  });

  test("photos chosen in the dialog become tiles, take a Chinese remark and reach the receiver", async () => {
    await withPage("dialog-upload", async (page) => {
      const frame = await openDemo(page, host);
      await page.evaluate((folder) => window.trellanDemo.control.postMessage(JSON.stringify({ name: "setFolder", path: folder })),
        join(host.folder, "samples"));
      await settledCanvas(frame);
      const empty = await distinctColours(frame);
      const before = uploaded();
      const element = await frameBox(page);
      const box = await elementBox(frame);
      const dialog = await openForm(page, frame, 60, 16);
      await settledCanvas(frame, "canvas.trellan-overlay");
      await page.screenshot({ path: join(OUT, "file-add-dialog.png") });
      // Its "select all" box and OK button sit in the dialog's bottom row.
      await page.mouse.click(dialog.x + 216, dialog.y + 502);
      await page.mouse.click(dialog.x + 720, dialog.y + 502);
      await formClosed(page, frame, element);
      await colourfulCanvas(frame, empty + 300);

      // The first tile's caption takes the remark, typed as an input method commits it.
      await page.mouse.click(box.x + 60, box.y + 196);
      await page.keyboard.insertText("中文备注");
      await page.keyboard.press("Enter");
      await settledCanvas(frame);
      await page.screenshot({ path: join(OUT, "tiles-with-remark.png") });

      await page.mouse.click(box.x + 135, box.y + 16);
      await page.waitForFunction(() => window.trellanDemo.events.some((e) => e.name === "post_complete"), null, { timeout: 60000 });
      const done = await page.evaluate(() => window.trellanDemo.events.find((e) => e.name === "post_complete"));
      assert.equal(done.imgs?.length, 3, JSON.stringify(done));
      assert.ok(done.imgs.every((img) => img.svr.success === 1));
      // The remark goes on the wire percent-encoded as UTF-8.
      const remarks = done.imgs.map((img) => decodeURIComponent(img.svr.fields.remark.replace(/\+/g, " ")));
      assert.ok(remarks.includes("中文备注"), JSON.stringify(remarks));
      assert.equal(uploaded(), before + 3);
    });
  });
});

describe("pages of other origins", () => {
  const site = hostWithPages();

  async function openPage(page, path, html) {
    site.pages.set(path, html);
    await page.goto(site.pages.origin + path);
    const frame = await controlFrame(page);
    await frame.waitForSelector("canvas.trellan-control", { timeout: 20000 });
    return frame;
  }

  test("an allowed page can neither read the frame's pixels, nor send it input, nor open a session of its own", async () => {
    await withPage("hostile", async (page) => {
      const frame = await openPage(page, "/hostile.html", embeddingPage(`${site.host.origin}/trellan.js`, site.host.origin));
      await page.waitForFunction(() => window.events.some((e) => e.name === "load_complete"), null, { timeout: 20000 });
      const sessions = site.host.sessions().length;
      const attempts = await page.evaluate(async (host) => {
        const iframe = document.querySelector("iframe.trellan-frame");
        const result = { contentDocument: iframe.contentDocument, canvases: document.querySelectorAll("canvas").length };
        try {
          result.read = iframe.contentWindow.document.querySelector("canvas").toDataURL().length;
        } catch (error) {
          result.read = error.name;
        }
        // Input: events dispatched on the frame's element, and the session's own input
        // messages posted to the frame, aimed at the add button.
        const rect = iframe.getBoundingClientRect();
        const at = { clientX: rect.left + 60, clientY: rect.top + 16, bubbles: true };
        for (const type of ["pointerdown", "mousedown", "pointerup", "mouseup", "click"]) iframe.dispatchEvent(new MouseEvent(type, at));
        for (const message of [{ t: "mouse", a: "down", b: 0, x: 90, y: 46 }, { t: "mouse", a: "up", b: 0, x: 90, y: 46 },
          { t: "file", id: 1, name: "a.png", size: 3 }, { t: "drop", ids: [1], x: 300, y: 300, keys: 0 }, { t: "open" }])
          iframe.contentWindow.postMessage(message, host);
        // A session socket of the page's own.
        result.socket = await new Promise((resolve) => {
          const socket = new WebSocket(`${host.replace("http", "ws")}/session?origin=${encodeURIComponent(location.origin)}`);
          socket.onopen = () => resolve("opened");
          socket.onclose = (event) => resolve(`closed ${event.code}`);
        });
        return result;
      }, site.host.origin);
      assert.deepEqual(attempts, { contentDocument: null, canvases: 0, read: "SecurityError", socket: "closed 1006" });
      await new Promise((resolve) => setTimeout(resolve, 1000));
      assert.equal(await frame.evaluate(() => document.querySelectorAll("canvas.trellan-overlay").length), 0, "no form opened");
      assert.equal(site.host.sessions().length, sessions);
      // The user's own click on the same button opens the dialog.
      await openForm(page, frame, 60, 16);
    });
  });

  test("an allowed page shown in a frame by a page not allowed cannot show the control", async () => {
    const outer = await startPages({});
    try {
      await withPage("framed", async (page) => {
        site.pages.set("/inner.html", embeddingPage(`${site.host.origin}/trellan.js`, site.host.origin));
        outer.set("/", `<!doctype html><iframe src="${site.pages.origin}/inner.html" style="width:900px;height:700px"></iframe>`);
        await page.goto(outer.origin);
        const inner = page.frames().find((frame) => frame.url() === `${site.pages.origin}/inner.html`);
        await inner.waitForFunction(() => window.failure, null, { timeout: 30000 });
        const failure = await inner.evaluate(() => window.failure);
        assert.match(failure, new RegExp(`does not allow pages from ${site.pages.origin}, or from a page that shows this one in a frame \\(${outer.origin}\\)`));
        assert.equal(await inner.evaluate(() => document.querySelector(".trellan-notice").textContent), failure);
        assert.equal(page.frames().some((frame) => frame.url() === `${site.host.origin}/frame`), false);
      });
    } finally {
      outer.stop();
    }
  });

  test("a press on the frame under a decoy, or on a frame made see-through, does not count", async () => {
    await withPage("decoy", async (page) => {
      const frame = await openPage(page, "/decoy.html", embeddingPage(`${site.host.origin}/trellan.js`, site.host.origin));
      await page.waitForFunction(() => window.events.some((e) => e.name === "load_complete"), null, { timeout: 20000 });
      const box = await elementBox(frame);
      const disguises = {
        decoy: () => {
          const decoy = document.createElement("div");
          decoy.textContent = "Click here to win";
          Object.assign(decoy.style, { position: "absolute", left: "0", top: "0", width: "400px", height: "120px",
            background: "gold", opacity: "0.9", pointerEvents: "none", zIndex: "10" });
          document.body.append(decoy);
          window.undo = () => decoy.remove();
        },
        transparent: () => {
          document.getElementById("uploader").style.opacity = "0.05";
          window.undo = () => (document.getElementById("uploader").style.opacity = "");
        },
      };
      for (const [name, disguise] of Object.entries(disguises)) {
        await page.evaluate(disguise);
        await new Promise((resolve) => setTimeout(resolve, 800));
        await page.mouse.click(box.x + 60, box.y + 16);
        await new Promise((resolve) => setTimeout(resolve, 1500));
        assert.equal(await frame.evaluate(() => document.querySelectorAll("canvas.trellan-overlay").length), 0,
          `the press on the ${name} frame opened the dialog`);
        await page.evaluate(() => window.undo());
      }
      await new Promise((resolve) => setTimeout(resolve, 800));
      await openForm(page, frame, 60, 16);
    });
  });

  test("a page written for the original control runs with one added module script", async () => {
    await withPage("legacy", async (page) => {
      const frame = await openPage(page, "/legacy.html", legacyPage(`${site.host.origin}/trellan.js`, site.host.origin));
      await page.waitForFunction(() => window.received.some((e) => e.name === "load_complete"), null, { timeout: 20000 });
      const element = await page.evaluate(() => {
        const uploader = document.getElementById("uploader");
        const rect = uploader.getBoundingClientRect();
        return { tag: uploader.tagName, width: rect.width, height: rect.height, objects: document.querySelectorAll("object").length };
      });
      assert.deepEqual(element, { tag: "DIV", width: 700, height: 460, objects: 0 });
      const box = await elementBox(frame);
      assert.deepEqual([box.width, box.height], [700, 460]);
      // Its photos go through the control to the receiver.
      const photo = join(site.host.folder, "samples", readdirSync(join(site.host.folder, "samples"))[1]);
      await page.evaluate((path) => document.getElementById("uploader").postMessage(JSON.stringify({ name: "addFile", path })), photo);
      await settledCanvas(frame);
      await page.mouse.click(box.x + 135, box.y + 16);
      await page.waitForFunction(() => window.received.some((e) => e.name === "post_complete"), null, { timeout: 60000 });
      const done = await page.evaluate(() => window.received.find((e) => e.name === "post_complete"));
      assert.equal(done.imgs?.[0]?.svr.fields.album, "legacy", JSON.stringify(done));
      // The control sends the photo encoded afresh: a picture as large as the original.
      const stored = done.imgs[0].svr.files[0];
      assert.ok(stored.size > 4 << 20, JSON.stringify(stored));
      assert.equal(statSync(join(site.host.folder, "uploads", stored.name)).size, stored.size);
    });
  });
});
