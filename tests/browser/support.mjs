// What the browser tests share: a trellan-host with a demo folder, a server of pages on
// an origin of their own, what the headless container draws for a script, and reading
// the control's canvas in its frame (the frame functions are plain evaluate calls, so
// Chromium's and Firefox's drivers both use them).

import assert from "node:assert/strict";
import { execFileSync, spawn } from "node:child_process";
import { mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync } from "node:fs";
import { createServer as createHttpServer } from "node:http";
import { createServer } from "node:net";
import { tmpdir } from "node:os";
import { extname, join } from "node:path";
import { after, before } from "node:test";
import { fileURLToPath } from "node:url";

export const BIN = process.env.TRELLAN_BIN_DIR;
export const OUT = process.env.TRELLAN_BROWSER_OUT || join(tmpdir(), "trellan-browser");
export const SOURCE = fileURLToPath(new URL("../..", import.meta.url));
export const CHROMIUM = process.env.CHROMIUM || "/usr/bin/chromium";
mkdirSync(OUT, { recursive: true });

export function freePort() {
  return new Promise((resolve) => {
    const server = createServer().listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A trellan-host with a demo folder of sample photos as large as a camera's (noisy
// pictures of about 4 MB); stopped by stop().
export async function startHost(...extra) {
  const port = await freePort();
  const folder = mkdtempSync(join(tmpdir(), "trellan-demo-"));
  mkdirSync(join(folder, "samples"));
  execFileSync("python3", [join(SOURCE, "tests/support/make_photos.py"), join(folder, "samples"), "3", "--size", "1400x1000", "--noise"]);
  const child = spawn(join(BIN, "trellan-host"), ["--port", String(port), "--demo", folder, ...extra],
    { stdio: ["ignore", "pipe", "inherit"], env: { ...process.env, TMPDIR: folder } });
  await new Promise((resolve, reject) => {
    child.stdout.once("data", resolve);
    child.once("exit", (code) => reject(new Error(`trellan-host ended with ${code}`)));
  });
  return {
    port, folder, child,
    origin: `http://127.0.0.1:${port}`,
    sessions: () => readFileSync(`/proc/${child.pid}/task/${child.pid}/children`, "utf8").split(/\s+/).filter(Boolean).map(Number),
    stop() {
      child.kill("SIGTERM");
      rmSync(folder, { recursive: true, force: true });
    },
  };
}

const TYPES = { ".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8", ".css": "text/css" };

// Pages on an origin of their own (http://127.0.0.1:PORT): routes maps a path to a text
// or to {file}; set() adds one. Stopped by stop().
export async function startPages(routes) {
  const server = createHttpServer((request, response) => {
    const route = routes[new URL(request.url, "http://page").pathname];
    if (route === undefined) {
      response.writeHead(404).end();
      return;
    }
    const path = typeof route === "string" ? request.url : route.file;
    response.writeHead(200, { "Content-Type": TYPES[extname(new URL(path, "http://page").pathname)] || TYPES[".html"] });
    response.end(typeof route === "string" ? route : readFileSync(route.file));
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  const { port } = server.address();
  return {
    port, origin: `http://127.0.0.1:${port}`,
    set: (path, route) => (routes[path] = route),
    stop: () => server.close(),
  };
}

// A host that allows one page origin, started before a suite's tests and stopped after
// them; the suite's tests read site.host and site.pages.
export function hostWithPages() {
  const site = {};
  before(async () => {
    site.pages = await startPages({});
    site.host = await startHost("--allow-origin", site.pages.origin);
  });
  after(() => {
    site.host.stop();
    site.pages.stop();
  });
  return site;
}

// The control's frame in page, once it is there.
export async function controlFrame(page) {
  for (let round = 0; round < 200; round++) {
    const frame = page.frames().find((candidate) => new URL(candidate.url(), "http://none").pathname === "/frame");
    if (frame) return frame;
    await sleep(100);
  }
  throw new Error("the page shows no control frame");
}

// What trellan-run draws of the control for a script, as a PNG file of device pixels at
// the device pixel ratio scale.
export function headlessPicture(name, width, height, lines, scale = 1) {
  const path = join(OUT, `${name}-headless.png`);
  const script = [
    { post: { name: "init", config: { PostUrl: "http://127.0.0.1:9/upload" } } },
    ...lines,
    { pump_ms: 400 },
    { screenshot: path },
  ].map((line) => JSON.stringify(line)).join("\n");
  execFileSync(join(BIN, "trellan-run"), ["--size", `${width}x${height}`, "--scale", String(scale), "-"],
    { input: script, stdio: ["pipe", "ignore", "inherit"] });
  return path;
}

// Waits until the pictures stop changing a canvas of the control's frame, then returns
// a digest of its pixels.
export async function settledCanvas(frame, selector = "canvas.trellan-control") {
  let last = "";
  for (let round = 0; round < 40; round++) {
    await sleep(250);
    const now = await frame.evaluate((selector) => {
      const canvas = document.querySelector(selector);
      const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
      let sum = 0;
      for (let i = 0; i < data.length; i += 7) sum = (sum * 31 + data[i]) % 1000000007;
      return `${canvas.width}x${canvas.height}:${sum}`;
    }, selector);
    if (now === last) return now;
    last = now;
  }
  throw new Error("the control's pictures did not settle");
}

// The control's canvas: its backing size and its size on the page in CSS pixels.
async function canvasSizes(frame) {
  return frame.evaluate(() => {
    const canvas = document.querySelector("canvas.trellan-control");
    const box = canvas.getBoundingClientRect();
    return { backing: [canvas.width, canvas.height], css: [box.width, box.height] };
  });
}

// Where the page shows the control's canvas, in device pixels of a screenshot at ratio
// (the browser puts the canvas on whole device pixels, the nearest to its CSS place).
async function shownPlace(page, frame, ratio) {
  const [frameX, frameY] = await page.evaluate(() => {
    const iframe = document.querySelector("iframe.trellan-frame");
    const box = iframe.getBoundingClientRect();
    return [box.left + iframe.clientLeft, box.top + iframe.clientTop];
  });
  const [x, y] = await frame.evaluate(() => {
    const box = document.querySelector("canvas.trellan-control").getBoundingClientRect();
    return [box.left, box.top];
  });
  return { x: Math.round((frameX + x) * ratio), y: Math.round((frameY + y) * ratio) };
}

// Asserts that the control's 800 x 560 canvas holds its size in device pixels at ratio
// and that its pixels are what the headless container draws at that ratio after the
// lines (a page screenshot is kept when they are not); returns that picture's path.
export async function assertDrawnAt(page, frame, ratio, name, lines = []) {
  const backing = [Math.ceil(800 * ratio), Math.ceil(560 * ratio)];
  // The canvas takes its new size with the first frame the control draws at the ratio.
  for (let round = 0; round < 100; round++) {
    if ((await canvasSizes(frame)).backing[0] === backing[0]) break;
    await sleep(100);
  }
  await settledCanvas(frame);
  assert.deepEqual(await canvasSizes(frame), { backing, css: [800, 560] });
  const picture = headlessPicture(name, 800, 560, lines, ratio);
  const difference = await differenceFrom(frame, picture);
  if (difference.share >= 0.001) await page.screenshot({ path: join(OUT, `failed-${name}.png`) });
  assert.equal(difference.size, "same");
  assert.ok(difference.share < 0.001, `${difference.share} of the canvas's pixels differ at ratio ${ratio}`);
  return picture;
}

// Asserts that the page shows the control's canvas on the screen's device pixels as the
// PNG picture has them, neither stretched nor resampled: a screenshot at ratio (kept as
// NAME-page.png for the picture NAME-headless.png) holds the picture where the canvas is.
// Browsers round a frame's place to device pixels in their own ways, so the canvas may
// sit one device pixel from where the layout says: the best of those places counts.
export async function assertShownAt(page, frame, ratio, picture) {
  const screenshot = await page.screenshot({ path: picture.replace(/-headless\.png$/, "-page.png") });
  const png = Buffer.from(screenshot).toString("base64");
  const place = await shownPlace(page, frame, ratio);
  let best = 1;
  for (const dy of [0, -1, 1]) {
    for (const dx of [0, -1, 1]) {
      if (best < 0.001) break;
      const shown = await differenceFrom(frame, picture, { png, x: place.x + dx, y: place.y + dy });
      best = Math.min(best, shown.share);
    }
  }
  assert.ok(best < 0.001, `${best} of the pixels the page shows differ at ratio ${ratio}`);
}

// Share of the control's canvas pixels (in its frame) that differ from the PNG file by
// more than a little. With shown, a PNG screenshot {png} in base64 and the canvas's
// place {x, y} in it, the pixels are those the page shows of the canvas instead.
export async function differenceFrom(frame, pngPath, shown = null) {
  const data = readFileSync(pngPath).toString("base64");
  return frame.evaluate(async ({ data, shown }) => {
    const canvas = document.querySelector("canvas.trellan-control");
    // The pixels of a PNG in base64 from (x, y) on, width x height of them.
    const pixels = async (png, x, y, width, height) => {
      const bytes = Uint8Array.from(atob(png), (c) => c.charCodeAt(0));
      const bitmap = await createImageBitmap(new Blob([bytes], { type: "image/png" }));
      const context = new OffscreenCanvas(width ?? bitmap.width, height ?? bitmap.height).getContext("2d");
      context.drawImage(bitmap, -x, -y);
      return context.getImageData(0, 0, context.canvas.width, context.canvas.height);
    };
    const reference = await pixels(data, 0, 0);
    if (reference.width !== canvas.width || reference.height !== canvas.height)
      return { size: `${reference.width}x${reference.height} against ${canvas.width}x${canvas.height}`, share: 1 };
    const want = reference.data;
    const got = shown ? (await pixels(shown.png, shown.x, shown.y, canvas.width, canvas.height)).data
      : canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    let differing = 0;
    for (let i = 0; i < got.length; i += 4) {
      if (Math.abs(got[i] - want[i]) + Math.abs(got[i + 1] - want[i + 1]) + Math.abs(got[i + 2] - want[i + 2]) > 6) differing++;
    }
    return { size: "same", share: differing / (got.length / 4) };
  }, { data, shown });
}

// Adds 24 photos through the page, turns the wheel over the list three notches down and
// one back up, each drawn before the next (the page moves its own pixels for each and
// is sent only the uncovered rows), and returns how the control's canvas differs from
// what the headless container draws for the same input. The driver's movePointer(x, y)
// and turnWheel(deltaY) take page coordinates; box is the control's canvas in frame.
export async function scrolledListDifference(page, frame, name, box, { movePointer, turnWheel }) {
  const folder = mkdtempSync(join(tmpdir(), "trellan-scroll-"));
  try {
    execFileSync("python3", [join(SOURCE, "tests/support/make_photos.py"), folder, "24", "--size", "320x240", "--prefix", "scroll"]);
    const paths = readdirSync(folder).sort().map((file) => join(folder, file));
    await page.evaluate((paths) => {
      for (const path of paths) window.trellanDemo.control.postMessage(JSON.stringify({ name: "addFile", path }));
    }, paths);
    await settledCanvas(frame);
    // The pointer stays right of the tiles, so that no tile shows its hover buttons.
    await movePointer(box.x + 740, box.y + 300);
    for (const deltaY of [100, 100, 100, -100]) {
      await turnWheel(deltaY);
      await settledCanvas(frame);
    }
    const wheel = (d) => ({ wheel: d, x: 740, y: 300 });
    return await differenceFrom(frame, headlessPicture(name, 800, 560, [
      ...paths.map((path) => ({ post: { name: "addFile", path } })),
      { pump_ms: 1500 },
      { mouse: "move", x: 740, y: 300 },
      wheel(-120), wheel(-120), wheel(-120), wheel(120),
    ]));
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// A page written for the original control, unchanged but for the one module script that
// upgrades its <object>: it talks to the control at once, from its load handler.
export function legacyPage(scriptUrl, host) {
  return `<!doctype html><html><head><meta charset="utf-8"><title>legacy</title>
<script type="module">import { upgradeObjects } from "${scriptUrl}"; upgradeObjects(document, { host: "${host}" });</script>
<script>
var received = [];
function onUploaderMessage(text) { received.push(JSON.parse(text)); }
window.onload = function () {
  var uploader = document.getElementById("uploader");
  uploader.recvMessage = onUploaderMessage;
  uploader.postMessage(JSON.stringify({ name: "init", config: { PostUrl: "${host}/demo/upload" } }));
  uploader.postMessage(JSON.stringify({ name: "setFields", fields: { album: "legacy" } }));
};
</script></head><body style="margin:20px">
<p>Photos</p>
<object id="uploader" classid="clsid:DF3775A4-90EF-4965-B751-D48698F3949F" width="700" height="460">
  <param name="wmode" value="window">The upload control is not installed.</object>
</body></html>`;
}

// A page on an allowed origin that embeds the control and keeps it as window.control.
export function embeddingPage(scriptUrl, host) {
  return `<!doctype html><html><head><meta charset="utf-8"><title>embedding</title>
<script type="module">
import { Trellan } from "${scriptUrl}";
window.events = [];
Trellan.create(document.getElementById("uploader"), { host: "${host}" }).then((control) => {
  control.recvMessage = (text) => window.events.push(JSON.parse(text));
  control.postMessage(JSON.stringify({ name: "init", config: { PostUrl: "${host}/demo/upload" } }));
  window.control = control;
}, (error) => (window.failure = error.message));
</script></head><body style="margin:30px">
<div id="uploader" style="width:800px;height:560px;border:1px solid #999"></div>
</body></html>`;
}
