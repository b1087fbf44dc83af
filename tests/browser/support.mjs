// What the browser tests share: a trellan-host with a demo folder, what the headless
// container draws for a script, and reading the control's canvas in a page (the page
// functions are plain evaluate calls, so Chromium and Firefox drivers both use them).

import { execFileSync, spawn } from "node:child_process";
import { mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync } from "node:fs";
import { createServer } from "node:net";
import { tmpdir } from "node:os";
import { join } from "node:path";
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

// A trellan-host with a demo folder of sample photos; stopped by stop().
export async function startHost(...extra) {
  const port = await freePort();
  const folder = mkdtempSync(join(tmpdir(), "trellan-demo-"));
  mkdirSync(join(folder, "samples"));
  execFileSync("python3", [join(SOURCE, "tests/support/make_photos.py"), join(folder, "samples"), "3", "--size", "640x480"]);
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

// What trellan-run draws of the control for a script, as a PNG file.
export function headlessPicture(name, width, height, lines) {
  const path = join(OUT, `${name}-headless.png`);
  const script = [
    { post: { name: "init", config: { PostUrl: "http://127.0.0.1:9/upload" } } },
    ...lines,
    { pump_ms: 400 },
    { screenshot: path },
  ].map((line) => JSON.stringify(line)).join("\n");
  execFileSync(join(BIN, "trellan-run"), ["--size", `${width}x${height}`, "-"], { input: script, stdio: ["pipe", "ignore", "inherit"] });
  return path;
}

// Waits until the pictures stop changing the control's canvas, then returns its pixels.
export async function settledCanvas(page, selector = "canvas.trellan-control") {
  let last = "";
  for (let round = 0; round < 40; round++) {
    await new Promise((resolve) => setTimeout(resolve, 250));
    const now = await page.evaluate((selector) => {
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

// Share of the canvas's pixels that differ from the PNG file by more than a little.
export async function differenceFrom(page, pngPath) {
  const data = readFileSync(pngPath).toString("base64");
  return page.evaluate(async (data) => {
    const canvas = document.querySelector("canvas.trellan-control");
    const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${data}`)).blob());
    if (bitmap.width !== canvas.width || bitmap.height !== canvas.height)
      return { size: `${bitmap.width}x${bitmap.height} against ${canvas.width}x${canvas.height}`, share: 1 };
    const reference = new OffscreenCanvas(bitmap.width, bitmap.height).getContext("2d");
    reference.drawImage(bitmap, 0, 0);
    const want = reference.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const got = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    let differing = 0;
    for (let i = 0; i < got.length; i += 4) {
      if (Math.abs(got[i] - want[i]) + Math.abs(got[i + 1] - want[i + 1]) + Math.abs(got[i + 2] - want[i + 2]) > 6) differing++;
    }
    return { size: "same", share: differing / (got.length / 4) };
  }, data);
}

// Adds 24 photos through the page, turns the wheel over the list three notches down and
// one back up, each drawn before the next (the page moves its own pixels for each and
// is sent only the uncovered rows), and returns how the control's canvas differs from
// what the headless container draws for the same input. The driver's movePointer(x, y)
// and turnWheel(deltaY) take page coordinates; box is the control's canvas.
export async function scrolledListDifference(page, name, box, { movePointer, turnWheel }) {
  const folder = mkdtempSync(join(tmpdir(), "trellan-scroll-"));
  try {
    execFileSync("python3", [join(SOURCE, "tests/support/make_photos.py"), folder, "24", "--size", "320x240", "--prefix", "scroll"]);
    const paths = readdirSync(folder).sort().map((file) => join(folder, file));
    await page.evaluate((paths) => {
      for (const path of paths) window.trellanDemo.control.postMessage(JSON.stringify({ name: "addFile", path }));
    }, paths);
    await settledCanvas(page);
    // The pointer stays right of the tiles, so that no tile shows its hover buttons.
    await movePointer(box.x + 740, box.y + 300);
    for (const deltaY of [100, 100, 100, -100]) {
      await turnWheel(deltaY);
      await settledCanvas(page);
    }
    const wheel = (d) => ({ wheel: d, x: 740, y: 300 });
    return await differenceFrom(page, headlessPicture(name, 800, 560, [
      ...paths.map((path) => ({ post: { name: "addFile", path } })),
      { pump_ms: 1500 },
      { mouse: "move", x: 740, y: 300 },
      wheel(-120), wheel(-120), wheel(-120), wheel(120),
    ]));
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}
