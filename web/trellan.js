// trellan.js: embeds the Trellan upload control in a page element.
//
//   import { Trellan } from "http://127.0.0.1:17328/trellan.js";
//   const ctl = await Trellan.create(document.getElementById("uploader"));
//   ctl.recvMessage = (text) => console.log(JSON.parse(text));
//   ctl.postMessage(JSON.stringify({ name: "init", config: { PostUrl: "https://example.com/upload" } }));
//
// The control runs in its own process behind trellan-host on this machine. This module
// draws its windows: the control in a canvas filling the element, its forms and popups
// in canvases over the page at their places. It forwards the pointer, wheel, keys,
// committed text (input methods included), focus loss, the element's size and files
// dropped on the element. Page events reach recvMessage asynchronously, in order.

const DEFAULT_HOST = "http://127.0.0.1:17328";
const FRAME_HEADER = 33;
const PICTURE_HEADER = 12;
const CHUNK = 256 * 1024;
const MAX_BUFFERED = 8 * 1024 * 1024;
// Close codes of trellan-host.
const CLOSE_REASONS = {
  1009: "a message to the control was too large",
  4002: "the control's process ended",
  4003: "the control stopped responding",
  4004: "the control could not be started",
};
// Virtual keys that the page sends as keys; printable characters go as text instead.
const MODIFIERS = { Shift: 16, Control: 17, Alt: 18 };

export class TrellanError extends Error {}

function px(value) {
  return `${Math.round(value)}px`;
}

class Control {
  constructor(element, host) {
    this.element = element;
    this.host = host.replace(/\/+$/, "");
    /** @type {((text: string) => void) | null} */
    this.recvMessage = null;
    this.windows = new Map();
    this.mainId = 0;
    this.held = new Set();
    this.drawing = Promise.resolve();
    this.nextFileId = 1;
    this.cursor = "default";
    this.composing = false;
    this.ended = false;
    this.closed = new Promise((resolve) => (this.resolveClosed = resolve));
    this.build();
  }

  // ----- public -----

  postMessage(text) {
    this.send({ t: "post", text: String(text) });
  }

  close() {
    if (this.ended) return;
    this.finish("");
    this.socket.close(1000);
  }

  // ----- set-up -----

  build() {
    const element = this.element;
    if (getComputedStyle(element).position === "static") element.style.position = "relative";
    this.root = document.createElement("div");
    this.root.className = "trellan-root";
    Object.assign(this.root.style, { position: "absolute", inset: "0", overflow: "hidden" });
    this.input = document.createElement("textarea");
    this.input.setAttribute("aria-label", "Trellan keyboard input");
    this.input.autocomplete = "off";
    this.input.spellcheck = false;
    Object.assign(this.input.style, {
      position: "absolute", left: "0", top: "0", width: "1px", height: "1px",
      opacity: "0", border: "0", padding: "0", resize: "none", pointerEvents: "none",
    });
    this.notice = document.createElement("div");
    this.notice.className = "trellan-notice";
    Object.assign(this.notice.style, {
      position: "absolute", inset: "0", display: "none", alignItems: "center", justifyContent: "center",
      padding: "24px", textAlign: "center", font: "14px/1.5 sans-serif", color: "#5a2222",
      background: "#fbf3f3", border: "1px solid #e3c4c4", boxSizing: "border-box", whiteSpace: "pre-line",
    });
    this.root.append(this.input, this.notice);
    element.append(this.root);
    this.overlays = document.createElement("div");
    this.overlays.className = "trellan-overlays";
    Object.assign(this.overlays.style, {
      position: "fixed", left: "0", top: "0", width: "0", height: "0", overflow: "visible",
      zIndex: "2147483000", pointerEvents: "none",
    });
    document.body.append(this.overlays);
    this.listen();
  }

  connect() {
    return new Promise((resolve, reject) => {
      const socket = new WebSocket(this.host.replace(/^http/, "ws") + "/session");
      socket.binaryType = "arraybuffer";
      this.socket = socket;
      let opened = false;
      let ready = false;
      socket.onopen = () => {
        opened = true;
        this.place();
      };
      socket.onmessage = (event) => {
        if (typeof event.data !== "string") {
          this.frame(event.data);
          return;
        }
        const message = JSON.parse(event.data);
        if (message.t === "ready") {
          ready = true;
          resolve(this);
        } else if (message.t === "failed") {
          reject(new TrellanError(`The upload control could not be started: ${message.reason}`));
        }
        this.handle(message);
      };
      socket.onclose = async (event) => {
        const text = opened ? this.closeText(event) : await this.refusalText();
        this.finish(text);
        if (!ready) reject(new TrellanError(text));
      };
    });
  }

  closeText(event) {
    if (event.code === 1000 || event.code === 1001) return "The upload control's session has ended.";
    const why = CLOSE_REASONS[event.code] || event.reason || `the connection closed (${event.code})`;
    return `The upload control stopped: ${why}.\nReload the page to start it again.`;
  }

  // Why the session could not be opened. Only allowed pages may read the status page;
  // for any other, an opaque request still tells whether something answers there.
  async refusalText() {
    try {
      const response = await fetch(this.host + "/status", { cache: "no-store" });
      if ((await response.json()).originAllowed)
        return `trellan-host at ${this.host} refused the session.`;
    } catch {
      // Not readable by this page, or nothing answers: asked again below.
    }
    try {
      await fetch(this.host + "/status", { cache: "no-store", mode: "no-cors" });
      return `trellan-host at ${this.host} does not allow pages from ${location.origin}.\n` +
        `Start it with --allow-origin ${location.origin}`;
    } catch {
      return `trellan-host is not running at ${this.host}.\nStart trellan-host on this computer and reload the page.`;
    }
  }

  finish(text) {
    if (this.ended) return;
    this.ended = true;
    this.observer?.disconnect();
    for (const [target, type, handler] of this.globalListeners) target.removeEventListener(type, handler, true);
    this.overlays.remove();
    if (text) this.showNotice(text);
    this.resolveClosed(text);
  }

  showNotice(text) {
    this.notice.textContent = text;
    this.notice.style.display = "flex";
  }

  send(message) {
    if (!this.ended && this.socket?.readyState === WebSocket.OPEN) this.socket.send(JSON.stringify(message));
  }

  // ----- from the control -----

  handle(message) {
    switch (message.t) {
      case "event":
        // Delivered after the socket's handler returns, one by one in order.
        queueMicrotask(() => {
          try {
            this.recvMessage?.(message.text);
          } catch (error) {
            console.error(error);
          }
        });
        break;
      case "window": this.windowChanged(message); break;
      case "gone": this.windows.get(message.id)?.canvas.remove(); this.windows.delete(message.id); break;
      case "main": this.mainId = message.id; this.windowChanged(this.windows.get(message.id)?.last); break;
      case "order": this.order(message.ids); break;
      case "cursor":
        this.cursor = message.css;
        for (const shown of this.windows.values()) shown.canvas.style.cursor = message.css;
        break;
      case "notice": console.warn("trellan:", message.text); break;
    }
  }

  windowChanged(message) {
    if (!message) return;
    let shown = this.windows.get(message.id);
    if (!shown) {
      const canvas = document.createElement("canvas");
      canvas.dataset.trellanWindow = String(message.id);
      canvas.style.display = "block";
      canvas.style.touchAction = "none";
      shown = { canvas, context: canvas.getContext("2d") };
      this.windows.set(message.id, shown);
      this.listenCanvas(canvas);
    }
    shown.last = message;
    Object.assign(shown, { x: message.x, y: message.y });
    const { canvas } = shown;
    if (canvas.width !== message.w || canvas.height !== message.h) {
      canvas.width = message.w;
      canvas.height = message.h;
    }
    canvas.style.width = px(message.w);
    canvas.style.height = px(message.h);
    canvas.style.cursor = this.cursor;
    const isMain = message.id === this.mainId;
    if (isMain) {
      Object.assign(canvas.style, { position: "absolute", left: "0", top: "0", pointerEvents: "auto" });
      if (canvas.parentNode !== this.root) this.root.insertBefore(canvas, this.input);
      canvas.className = "trellan-control";
    } else {
      Object.assign(canvas.style, { position: "absolute", left: px(message.x), top: px(message.y), pointerEvents: "auto" });
      if (canvas.parentNode !== this.overlays) this.overlays.append(canvas);
      canvas.className = "trellan-overlay";
    }
    canvas.style.visibility = message.visible ? "visible" : "hidden";
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

  // ----- to the control -----

  // The control fills the element's padding box: the area inside its border.
  place() {
    const rect = this.root.getBoundingClientRect();
    this.send({
      t: "place", x: Math.round(rect.left), y: Math.round(rect.top),
      w: Math.max(1, Math.round(rect.width)), h: Math.max(1, Math.round(rect.height)),
      vw: Math.max(1, window.innerWidth), vh: Math.max(1, window.innerHeight),
    });
  }

  // A page point on the window system's screen, through the canvas the event hit.
  screenPoint(event, canvas) {
    const shown = this.windows.get(Number(canvas.dataset.trellanWindow));
    const rect = canvas.getBoundingClientRect();
    return { x: Math.round(event.clientX - rect.left + (shown?.x ?? 0)), y: Math.round(event.clientY - rect.top + (shown?.y ?? 0)) };
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
      canvas.setPointerCapture(event.pointerId);
      this.syncModifiers(event);
      this.send({ t: "mouse", a: "down", b: event.button, ...this.screenPoint(event, canvas) });
    });
    canvas.addEventListener("pointermove", (event) => {
      this.send({ t: "mouse", a: "move", ...this.screenPoint(event, canvas) });
    });
    canvas.addEventListener("pointerup", (event) => {
      if (event.button !== 0 && event.button !== 2) return;
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

  listen() {
    const input = this.input;
    input.addEventListener("keydown", (event) => {
      if (event.isComposing || event.keyCode === 229) return;
      const printable = event.key.length === 1 && !event.ctrlKey && !event.altKey && !event.metaKey;
      if (printable && event.key !== " ") return; // comes as text from the input event
      if (MODIFIERS[event.key] === undefined) this.syncModifiers(event);
      const vk = MODIFIERS[event.key] ?? event.keyCode;
      if (vk > 0 && vk < 255) this.key(vk, true);
      event.preventDefault();
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

    this.element.addEventListener("dragover", (event) => {
      if (!event.dataTransfer?.types.includes("Files")) return;
      event.preventDefault();
      event.dataTransfer.dropEffect = "copy";
    });
    this.element.addEventListener("drop", (event) => {
      if (!event.dataTransfer?.files.length) return;
      event.preventDefault();
      const main = this.windows.get(this.mainId)?.canvas ?? this.root;
      this.dropFiles([...event.dataTransfer.files], this.screenPoint(event, main), event);
    });

    this.observer = new ResizeObserver(() => this.place());
    this.observer.observe(this.root);
    const replace = () => this.place();
    this.globalListeners = [[window, "resize", replace], [window, "scroll", replace]];
    for (const [target, type, handler] of this.globalListeners) target.addEventListener(type, handler, { capture: true, passive: true });
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

export const Trellan = {
  /**
   * Starts a control session in element. Resolves when the control is ready; rejects
   * (and shows why inside the element) when trellan-host is not running, refuses this
   * page's origin, or cannot start the control.
   */
  async create(element, options = {}) {
    if (!(element instanceof HTMLElement)) throw new TrellanError("Trellan.create needs an element");
    const control = new Control(element, options.host || DEFAULT_HOST);
    return control.connect();
  },
};

export default Trellan;
