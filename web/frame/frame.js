// frame.js: the control's frame. trellan.js puts this page, served by trellan-host at
// /frame, into the embedding page's element. The control's canvases, the pointer, wheel
// and key input, the drop target and the session socket all live here, on the host's
// origin, so the embedding page can neither read the control's pixels nor act for the
// user: it exchanges only the control's JSON texts with this frame through
// window.postMessage, and both sides check the other's origin.
//
// Messages from the page: {t:"open"} (its origin becomes the page's), {t:"place"} with
// the element's box and the viewport, {t:"post", text}, {t:"enlarged", on}, {t:"close"}.
// The control draws at the device pixel ratio: the frame sends it with the box and again
// whenever it changes (zoom, a screen of another density), each canvas holds the
// window's device pixels at its CSS size, and input points stay in CSS pixels.
// Messages to the page: {t:"hello"}, {t:"ready"}, {t:"event", text},
// {t:"enlarge"}/{t:"shrink"} (while a form is open the frame covers the viewport),
// {t:"closed", text}.

const FRAME_HEADER = 33;
const PICTURE_HEADER = 12;
const CHUNK = 256 * 1024;
const MAX_BUFFERED = 8 * 1024 * 1024;
// A press counts only once the frame has been seen unobstructed this long, so a decoy
// lifted just before the user's click does not make it count.
const VISIBLE_BEFORE_PRESS_MS = 400;
// Keys that press the focused button or a dialog's OK.
const PRESSING_KEYS = new Set([13, 32]);
// Close codes of trellan-host.
const CLOSE_REASONS = {
  1009: "a message to the control was too large",
  4002: "the control's process ended",
  4003: "the control stopped responding",
  4004: "the control could not be started",
};
// Virtual keys that are sent as keys; printable characters go as text instead.
const MODIFIERS = { Shift: 16, Control: 17, Alt: 18 };

// The device pixel ratio the control is drawn at, within what it supports.
function deviceRatio() {
  const ratio = Number(window.devicePixelRatio) || 1;
  return Math.min(4, Math.max(0.5, ratio));
}

function px(value) {
  return `${Math.round(value)}px`;
}

// Gecko snaps a canvas to device pixels itself, and stops doing so for a transformed one.
const SNAPS_CANVAS = "mozInnerScreenX" in window;

// A canvas at page point (x, y) in CSS pixels is shown unresampled only where that point
// is on a device pixel. Chromium puts a frame at whole CSS pixels and does not snap a
// canvas to the device's, which at a fractional ratio blurs it: the returned transform
// moves the canvas by less than a CSS pixel, onto the nearest device pixel.
function deviceShift(x, y) {
  if (SNAPS_CANVAS) return "";
  const ratio = Number(window.devicePixelRatio) || 1;
  const shift = (at) => (Math.round(at * ratio) - at * ratio) / ratio;
  const dx = shift(x), dy = shift(y);
  return Math.abs(dx) < 1e-6 && Math.abs(dy) < 1e-6 ? "" : `translate(${dx.toFixed(4)}px, ${dy.toFixed(4)}px)`;
}

// Whether the frame is visible and not covered, where the browser can tell
// (IntersectionObserver with trackVisibility). Elsewhere every press counts.
class VisibilityGuard {
  constructor(target) {
    this.tracking = typeof IntersectionObserverEntry !== "undefined" && "isVisible" in IntersectionObserverEntry.prototype;
    this.visibleSince = null;
    if (!this.tracking) return;
    const observer = new IntersectionObserver((entries) => {
      const visible = entries[entries.length - 1].isVisible;
      if (!visible) this.visibleSince = null;
      else if (this.visibleSince === null) this.visibleSince = performance.now();
    }, { trackVisibility: true, delay: 100 });
    observer.observe(target);
  }

  pressCounts() {
    return !this.tracking || (this.visibleSince !== null && performance.now() - this.visibleSince >= VISIBLE_BEFORE_PRESS_MS);
  }
}

class Frame {
  constructor() {
    this.stage = document.getElementById("stage");
    this.input = document.getElementById("input");
    this.pageOrigin = null;
    this.windows = new Map();
    this.mainId = 0;
    this.held = new Set();
    this.pressed = new Set();
    this.drawing = Promise.resolve();
    this.nextFileId = 1;
    this.cursor = "default";
    this.composing = false;
    this.ended = false;
    this.box = null;
    this.askedLarge = false;
    this.enlarged = false;
    this.guard = new VisibilityGuard(this.stage);
    window.addEventListener("message", (event) => this.fromPage(event));
    this.listenKeys();
    this.listenDrops();
    this.watchRatio();
  }

  // ----- the embedding page -----

  fromPage(event) {
    // Only the page that shows this frame speaks to it, and after its first message only
    // from the origin it had then.
    if (window.parent === window || event.source !== window.parent) return;
    const message = event.data;
    if (typeof message !== "object" || message === null) return;
    if (this.pageOrigin === null) {
      if (message.t !== "open" || event.origin === "null") return;
      this.pageOrigin = event.origin;
      this.toPage({ t: "hello" });
      this.placed(message.place);
      this.connect();
      return;
    }
    if (event.origin !== this.pageOrigin) return;
    switch (message.t) {
      case "post":
        if (typeof message.text === "string") this.send({ t: "post", text: message.text });
        break;
      case "place": this.placed(message.place); break;
      case "enlarged": this.setEnlarged(message.on === true); break;
      case "close": this.finish(""); break;
    }
  }

  toPage(message) {
    if (this.pageOrigin) window.parent.postMessage(message, this.pageOrigin);
  }

  // The element's box in the page's viewport, and the viewport's size, as numbers.
  placed(place) {
    if (typeof place !== "object" || place === null) return;
    const number = (value, low, high) => Math.min(high, Math.max(low, Math.round(Number(value) || 0)));
    this.box = {
      x: number(place.x, -16384, 16384), y: number(place.y, -16384, 16384),
      w: number(place.w, 1, 16384), h: number(place.h, 1, 16384),
      vw: number(place.vw, 1, 16384), vh: number(place.vh, 1, 16384),
    };
    this.sendPlace();
    this.layoutAll();
  }

  sendPlace() {
    if (this.box) this.send({ t: "place", ...this.box, dpr: deviceRatio() });
  }

  // A resolution query matches only the ratio it was made for, so each change makes
  // the next query.
  watchRatio() {
    if (typeof matchMedia !== "function") return;
    const query = matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`);
    query.addEventListener("change", () => {
      this.sendPlace();
      this.layoutAll();
      this.watchRatio();
    }, { once: true });
  }

  setEnlarged(on) {
    this.enlarged = on;
    document.body.classList.toggle("enlarged", on);
    this.layoutAll();
  }

  // Forms and popups need the page's viewport; the frame asks for it while one shows.
  updateSize() {
    const large = [...this.windows.entries()].some(([id, { last }]) => id !== this.mainId && last?.visible && last.w > 0 && last.h > 0);
    if (large === this.askedLarge) return;
    this.askedLarge = large;
    this.toPage({ t: large ? "enlarge" : "shrink" });
  }

  // ----- the session -----

  connect() {
    const url = `${location.origin.replace(/^http/, "ws")}/session?origin=${encodeURIComponent(this.pageOrigin)}`;
    const socket = new WebSocket(url);
    socket.binaryType = "arraybuffer";
    this.socket = socket;
    let opened = false;
    socket.onopen = () => {
      opened = true;
      this.sendPlace();
    };
    socket.onmessage = (event) => {
      if (typeof event.data !== "string") {
        this.frame(event.data);
        return;
      }
      this.handle(JSON.parse(event.data));
    };
    socket.onclose = async (event) => {
      this.finish(opened ? this.closeText(event) : await this.refusalText());
    };
  }

  closeText(event) {
    if (event.code === 1000 || event.code === 1001) return "The upload control's session has ended.";
    const why = CLOSE_REASONS[event.code] || event.reason || `the connection closed (${event.code})`;
    return `The upload control stopped: ${why}.\nReload the page to start it again.`;
  }

  // Why the session could not be opened.
  async refusalText() {
    try {
      await fetch("/status", { cache: "no-store" });
      return `trellan-host at ${location.origin} refused the session: too many sessions may be open, ` +
        `or pages from ${this.pageOrigin} are not allowed.`;
    } catch {
      return `trellan-host stopped answering at ${location.origin}.\nStart trellan-host on this computer and reload the page.`;
    }
  }

  finish(text) {
    if (this.ended) return;
    this.ended = true;
    if (this.socket?.readyState === WebSocket.OPEN || this.socket?.readyState === WebSocket.CONNECTING) this.socket.close(1000);
    this.toPage({ t: "closed", text });
  }

  send(message) {
    if (!this.ended && this.socket?.readyState === WebSocket.OPEN) this.socket.send(JSON.stringify(message));
  }

  handle(message) {
    switch (message.t) {
      case "ready": this.toPage({ t: "ready" }); break;
      case "failed": this.finish(`The upload control could not be started: ${message.reason}`); break;
      case "event": this.toPage({ t: "event", text: message.text }); break;
      case "window": this.windowChanged(message); break;
      case "gone":
        this.windows.get(message.id)?.canvas.remove();
        this.windows.delete(message.id);
        this.updateSize();
        break;
      case "main":
        this.mainId = message.id;
        this.layoutAll();
        break;
      case "order": this.order(message.ids); break;
      case "cursor":
        this.cursor = message.css;
        for (const shown of this.windows.values()) shown.canvas.style.cursor = message.css;
        break;
      case "notice": console.warn("trellan:", message.text); break;
    }
  }

  windowChanged(message) {
    let shown = this.windows.get(message.id);
    if (!shown) {
      const canvas = document.createElement("canvas");
      canvas.dataset.trellanWindow = String(message.id);
      shown = { canvas, context: canvas.getContext("2d") };
      this.windows.set(message.id, shown);
      this.listenCanvas(canvas);
      this.stage.insertBefore(canvas, this.input);
    }
    shown.last = message;
    const { canvas } = shown;
    const width = message.dw ?? message.w, height = message.dh ?? message.h;
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    canvas.style.width = px(message.w);
    canvas.style.height = px(message.h);
    canvas.style.cursor = this.cursor;
    this.layout(message.id, shown);
    this.updateSize();
  }

  // Windows sit at their places on the page's viewport; while the frame fills only the
  // element, the control's own window fills the frame.
  layout(id, shown) {
    const { canvas, last } = shown;
    if (!last) return;
    const main = id === this.mainId;
    canvas.className = main ? "trellan-control" : "trellan-overlay";
    const left = Math.round(this.enlarged || !main ? last.x : 0);
    const top = Math.round(this.enlarged || !main ? last.y : 0);
    canvas.style.left = px(left);
    canvas.style.top = px(top);
    // The frame covers the viewport from its origin while enlarged, else it sits at the
    // element's place.
    const frameX = this.enlarged ? 0 : this.box?.x ?? 0, frameY = this.enlarged ? 0 : this.box?.y ?? 0;
    canvas.style.transform = deviceShift(frameX + left, frameY + top);
    canvas.style.visibility = last.visible ? "visible" : "hidden";
  }

  layoutAll() {
    for (const [id, shown] of this.windows) this.layout(id, shown);
  }

  order(ids) {
    ids.forEach((id, index) => {
      const shown = this.windows.get(id);
      if (shown) shown.canvas.style.zIndex = String(ids.length - index);
    });
  }

  // A frame of one window: a copy of rows the window scrolled, then pictures of what
  // changed. Frames are drawn in the order they came, each whole once its pictures are
  // decoded, and acknowledged so the control sends more.
  frame(data) {
    const view = new DataView(data);
    const id = view.getUint32(1, true);
    const frame = view.getUint32(5, true);
    const [copyX, copyY, copyW, copyH, dy] = [9, 13, 17, 21, 25].map((at) => view.getInt32(at, true));
    const count = view.getUint32(29, true);
    const pictures = [];
    let at = FRAME_HEADER;
    for (let i = 0; i < count && at + PICTURE_HEADER <= data.byteLength; i++) {
      const x = view.getInt32(at, true);
      const y = view.getInt32(at + 4, true);
      const size = Math.min(view.getUint32(at + 8, true), data.byteLength - at - PICTURE_HEADER);
      const blob = new Blob([new Uint8Array(data, at + PICTURE_HEADER, size)], { type: "image/png" });
      pictures.push({ x, y, decoded: createImageBitmap(blob) });
      at += PICTURE_HEADER + size;
    }
    this.drawing = this.drawing.then(async () => {
      const bitmaps = await Promise.all(pictures.map((picture) => picture.decoded.catch((error) => {
        console.error("trellan: a picture could not be decoded", error);
        return null;
      })));
      const context = this.windows.get(id)?.context;
      if (context && copyW > 0 && copyH > 0)
        context.drawImage(context.canvas, copyX, copyY, copyW, copyH, copyX, copyY + dy, copyW, copyH);
      bitmaps.forEach((bitmap, index) => {
        if (!bitmap) return;
        context?.drawImage(bitmap, pictures[index].x, pictures[index].y);
        bitmap.close();
      });
      this.send({ t: "ack", n: frame });
    });
  }

  // ----- the user's input -----

  // A point of the event on the window system's screen (the page's viewport).
  screenPoint(event, canvas) {
    const shown = this.windows.get(Number(canvas.dataset.trellanWindow));
    const rect = canvas.getBoundingClientRect();
    return { x: Math.round(event.clientX - rect.left + (shown?.last?.x ?? 0)), y: Math.round(event.clientY - rect.top + (shown?.last?.y ?? 0)) };
  }

  syncModifiers(event) {
    for (const [name, key] of [["shiftKey", 16], ["ctrlKey", 17], ["altKey", 18]]) {
      if (event[name] !== this.held.has(key)) this.key(key, event[name]);
    }
  }

  key(vk, down) {
    if (down) this.held.add(vk);
    else this.held.delete(vk);
    this.send({ t: "key", vk, down });
  }

  listenCanvas(canvas) {
    canvas.addEventListener("pointerdown", (event) => {
      if (event.button !== 0 && event.button !== 2) return;
      event.preventDefault();
      this.input.focus({ preventScroll: true });
      if (!this.guard.pressCounts()) return;
      canvas.setPointerCapture(event.pointerId);
      this.pressed.add(event.button);
      this.syncModifiers(event);
      this.send({ t: "mouse", a: "down", b: event.button, ...this.screenPoint(event, canvas) });
    });
    canvas.addEventListener("pointermove", (event) => {
      this.send({ t: "mouse", a: "move", ...this.screenPoint(event, canvas) });
    });
    canvas.addEventListener("pointerup", (event) => {
      if (!this.pressed.delete(event.button)) return;
      this.syncModifiers(event);
      this.send({ t: "mouse", a: "up", b: event.button, ...this.screenPoint(event, canvas) });
    });
    // Leaving the canvas is a move off every window, so hover states end.
    canvas.addEventListener("pointerleave", (event) => {
      if (!canvas.hasPointerCapture(event.pointerId)) this.send({ t: "mouse", a: "move", x: -1, y: -1 });
    });
    canvas.addEventListener("contextmenu", (event) => event.preventDefault());
    canvas.addEventListener("wheel", (event) => {
      event.preventDefault();
      // 120 per notch: browsers report about 100 pixels or 3 lines a notch.
      const notches = event.deltaMode === 1 ? event.deltaY / 3 : event.deltaMode === 2 ? event.deltaY : event.deltaY / 100;
      const d = Math.round(-notches * 120);
      if (d !== 0) this.send({ t: "wheel", d, ...this.screenPoint(event, canvas) });
    }, { passive: false });
  }

  listenKeys() {
    const input = this.input;
    input.addEventListener("keydown", (event) => {
      if (event.isComposing || event.keyCode === 229) return;
      const printable = event.key.length === 1 && !event.ctrlKey && !event.altKey && !event.metaKey;
      if (printable && event.key !== " ") return; // comes as text from the input event
      if (MODIFIERS[event.key] === undefined) this.syncModifiers(event);
      const vk = MODIFIERS[event.key] ?? event.keyCode;
      event.preventDefault();
      if (PRESSING_KEYS.has(vk) && !this.guard.pressCounts()) return;
      if (vk > 0 && vk < 255) this.key(vk, true);
    });
    input.addEventListener("keyup", (event) => {
      const vk = MODIFIERS[event.key] ?? event.keyCode;
      if (this.held.has(vk)) this.key(vk, false);
    });
    input.addEventListener("compositionstart", () => (this.composing = true));
    input.addEventListener("compositionend", (event) => {
      this.composing = false;
      if (event.data) this.send({ t: "text", s: event.data });
      input.value = "";
    });
    input.addEventListener("input", (event) => {
      if (this.composing || event.isComposing) return;
      if (event.inputType === "insertText" && event.data) this.send({ t: "text", s: event.data });
      if (event.inputType !== "insertCompositionText") input.value = "";
    });
    input.addEventListener("paste", (event) => {
      event.preventDefault();
      const text = event.clipboardData?.getData("text/plain");
      if (text) this.send({ t: "text", s: text });
    });
    input.addEventListener("blur", () => {
      this.held.clear();
      this.send({ t: "blur" });
    });
    // The backdrop holds the page still while a form is open.
    this.stage.addEventListener("wheel", (event) => event.preventDefault(), { passive: false });
  }

  // Files dropped on the frame: only the user can drop them here, the page cannot.
  listenDrops() {
    document.addEventListener("dragover", (event) => {
      if (!event.dataTransfer?.types.includes("Files")) return;
      event.preventDefault();
      event.dataTransfer.dropEffect = "copy";
    });
    document.addEventListener("drop", (event) => {
      if (!event.dataTransfer?.files.length) return;
      event.preventDefault();
      const main = this.windows.get(this.mainId)?.canvas;
      if (main) this.dropFiles([...event.dataTransfer.files], this.screenPoint(event, main), event);
    });
  }

  // Streams the files' bytes to the session, then drops them at the point.
  async dropFiles(files, point, event) {
    const keys = (event.ctrlKey ? 8 : 0) | (event.shiftKey ? 4 : 0);
    const ids = [];
    for (const file of files) {
      const id = this.nextFileId++;
      ids.push(id);
      this.send({ t: "file", id, name: file.name, size: file.size });
      for (let offset = 0; offset < file.size && !this.ended; offset += CHUNK) {
        const bytes = new Uint8Array(await file.slice(offset, offset + CHUNK).arrayBuffer());
        const chunk = new Uint8Array(4 + bytes.length);
        new DataView(chunk.buffer).setUint32(0, id, true);
        chunk.set(bytes, 4);
        while (this.socket.bufferedAmount > MAX_BUFFERED && !this.ended) await new Promise((r) => setTimeout(r, 10));
        if (!this.ended) this.socket.send(chunk);
      }
    }
    this.send({ t: "drop", ids, x: point.x, y: point.y, keys });
  }
}

new Frame();
