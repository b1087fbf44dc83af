// trellan.js: embeds the Trellan upload control in a page element.
//
//   import { Trellan } from "trellan";            // or "http://127.0.0.1:17328/trellan.js"
//   const ctl = await Trellan.create(document.getElementById("uploader"));
//   ctl.recvMessage = (text) => console.log(JSON.parse(text));
//   ctl.postMessage(JSON.stringify({ name: "init", config: { PostUrl: "https://example.com/upload" } }));
//
// The control runs in its own process behind trellan-host on this machine and shows
// itself in a frame of trellan-host's own origin inside the element. This page sends
// the control JSON commands and receives its JSON events, asynchronously and in order;
// the control's pixels and the user's input stay inside the frame. While one of the
// control's forms is open the frame covers the viewport with a dimmed backdrop.
//
// Pages written for the original <object> control call upgradeObjects() instead.

const DEFAULT_HOST = "http://127.0.0.1:17328";
// How long the frame has to answer once its page has loaded, and at most in all (the
// browser's permission prompt does not count).
const HELLO_AFTER_LOAD_MS = 5000;
const HELLO_LIMIT_MS = 30000;
const PROBE_LIMIT_MS = 5000;
const PROMPT_NOTICE_MS = 500;
const CLASS_ID = "clsid:df3775a4-90ef-4965-b751-d48698f3949f";
const PROG_ID = "zivoro.trellan64";

export class TrellanError extends Error {}

const TEXTS = {
  asking: "Your browser is about to ask whether this page may use apps on this device.\n" +
    "Allow it: the photo upload control runs on this computer.",
  refused: "The browser does not let this page reach the photo upload control on this computer " +
    "(local network access was refused).\nAllow it in the site's settings (the icon left of the address) and reload the page.",
  notRunning: (host) => `trellan-host is not running at ${host}.\nStart trellan-host on this computer and reload the page.`,
  notAllowed: (host) => `trellan-host at ${host} does not allow pages from ${location.origin}${framedBy()}.\n` +
    `Start it with --allow-origin ${location.origin}, or add the origin to its allowed-origins file.`,
};

// The control's frame may be shown only where every page around it is allowed, so a page
// that is itself framed names the pages around it (where the browser tells them).
function framedBy() {
  if (window.top === window) return "";
  const around = [...(location.ancestorOrigins ?? [])].filter((origin) => origin !== location.origin);
  return `, or from a page that shows this one in a frame${around.length ? ` (${around.join(", ")})` : ""}`;
}

// The browser's local-network-access permission: "granted", "prompt", "denied", or
// "unknown" where the browser has no such permission (some throw for unknown names).
async function localAccess() {
  try {
    return (await navigator.permissions.query({ name: "local-network-access" })).state;
  } catch {
    return "unknown";
  }
}

// Whether anything answers at the host; an opaque answer is enough.
async function hostAnswers(host) {
  const abort = new AbortController();
  const timer = setTimeout(() => abort.abort(), PROBE_LIMIT_MS);
  try {
    await fetch(`${host}/status`, { mode: "no-cors", cache: "no-store", signal: abort.signal });
    return true;
  } catch {
    return false;
  } finally {
    clearTimeout(timer);
  }
}

class Control {
  constructor(element, host) {
    this.element = element;
    this.host = new URL(host).origin;
    /** @type {((text: string) => void) | null} */
    this.recvMessage = null;
    this.ended = false;
    this.loaded = false; // the frame's document has loaded, whatever it is
    this.hello = false; // the control's frame has answered
    this.closed = new Promise((resolve) => (this.resolveClosed = resolve));
    this.build();
  }

  // ----- public -----

  postMessage(text) {
    this.toFrame({ t: "post", text: String(text) });
  }

  close() {
    if (this.ended) return;
    this.toFrame({ t: "close" });
    this.finish("");
  }

  // ----- set-up -----

  build() {
    const element = this.element;
    if (getComputedStyle(element).position === "static") element.style.position = "relative";
    this.root = document.createElement("div");
    this.root.className = "trellan-root";
    Object.assign(this.root.style, { position: "absolute", inset: "0", overflow: "hidden" });
    this.notice = document.createElement("div");
    this.notice.className = "trellan-notice";
    Object.assign(this.notice.style, {
      position: "absolute", inset: "0", display: "none", alignItems: "center", justifyContent: "center",
      padding: "24px", textAlign: "center", font: "14px/1.5 sans-serif", color: "#5a2222",
      background: "#fbf3f3", border: "1px solid #e3c4c4", boxSizing: "border-box", whiteSpace: "pre-line",
    });
    this.root.append(this.notice);
    element.append(this.root);
  }

  showNotice(text, tone = "error") {
    this.notice.textContent = text;
    Object.assign(this.notice.style, tone === "error"
      ? { display: "flex", color: "#5a2222", background: "#fbf3f3", borderColor: "#e3c4c4" }
      : { display: "flex", color: "#22405a", background: "#f3f7fb", borderColor: "#c4d4e3" });
  }

  hideNotice() {
    this.notice.style.display = "none";
  }

  async start() {
    this.frame = document.createElement("iframe");
    this.frame.className = "trellan-frame";
    this.frame.title = "Trellan photo upload";
    this.frame.allow = "local-network-access";
    this.shrink();
    this.listen();
    const answered = this.frameAnswers();
    this.frame.src = `${this.host}/frame`;
    this.root.prepend(this.frame);
    this.explainPrompt();
    if (!(await answered)) {
      // A host this page reaches has refused the frame; one it cannot reach is stopped,
      // or the browser keeps this page from it.
      const text = (await hostAnswers(this.host)) ? TEXTS.notAllowed(this.host)
        : (await localAccess()) === "denied" ? TEXTS.refused : TEXTS.notRunning(this.host);
      throw this.fail(text);
    }
    this.hideNotice();
    await this.sessionReady();
    return this;
  }

  // A frame that is held up while the permission is still to be given waits for the
  // browser's prompt: say what the prompt is about. A refusal is told only once the frame
  // fails to come, because pages the browser does not count as public reach the host
  // whatever the permission says.
  explainPrompt() {
    setTimeout(async () => {
      if (!this.hello && !this.loaded && !this.ended && (await localAccess()) === "prompt") this.showNotice(TEXTS.asking, "info");
    }, PROMPT_NOTICE_MS);
  }

  fail(text) {
    this.finish(text);
    return new TrellanError(text);
  }

  // Resolves true once the frame greets this page, false when it does not in time.
  frameAnswers() {
    return new Promise((resolve) => {
      let timer = null;
      const give = (after) => {
        clearTimeout(timer);
        timer = setTimeout(async () => {
          if ((await localAccess()) === "prompt" && !this.loaded) give(after);
          else resolve(false);
        }, after);
      };
      this.frame.addEventListener("load", () => {
        this.loaded = true;
        this.toFrame({ t: "open", place: this.box() }, true);
        give(HELLO_AFTER_LOAD_MS);
      });
      this.greeted = () => {
        clearTimeout(timer);
        resolve(true);
      };
      give(HELLO_LIMIT_MS);
    });
  }

  sessionReady() {
    return new Promise((resolve, reject) => {
      if (this.ended) reject(new TrellanError(this.endText || "the control was closed"));
      this.becameReady = resolve;
      this.notReady = reject;
    });
  }

  listen() {
    this.onMessage = (event) => this.fromFrame(event);
    window.addEventListener("message", this.onMessage);
    this.observer = new ResizeObserver(() => this.place());
    this.observer.observe(this.root);
    this.onMove = () => this.place();
    window.addEventListener("resize", this.onMove, { capture: true, passive: true });
    window.addEventListener("scroll", this.onMove, { capture: true, passive: true });
  }

  finish(text) {
    if (this.ended) return;
    this.ended = true;
    this.endText = text;
    this.observer?.disconnect();
    window.removeEventListener("message", this.onMessage);
    window.removeEventListener("resize", this.onMove, { capture: true });
    window.removeEventListener("scroll", this.onMove, { capture: true });
    this.frame?.remove();
    if (text) this.showNotice(text);
    this.notReady?.(new TrellanError(text || "the control was closed"));
    this.resolveClosed(text);
  }

  // ----- the frame -----

  toFrame(message, evenBeforeHello = false) {
    if (this.ended || !this.frame?.contentWindow || (!this.hello && !evenBeforeHello)) return;
    this.frame.contentWindow.postMessage(message, this.host);
  }

  fromFrame(event) {
    if (event.source !== this.frame?.contentWindow || event.origin !== this.host) return;
    const message = event.data;
    if (typeof message !== "object" || message === null) return;
    switch (message.t) {
      case "hello":
        this.hello = true;
        this.greeted?.();
        break;
      case "ready": this.becameReady?.(this); break;
      case "event":
        try {
          this.recvMessage?.(String(message.text));
        } catch (error) {
          console.error(error);
        }
        break;
      case "enlarge": this.enlarge(); break;
      case "shrink": this.shrink(); break;
      case "closed": this.finish(String(message.text ?? "")); break;
    }
  }

  // The frame covers the viewport while a form of the control is open.
  enlarge() {
    Object.assign(this.frame.style, {
      position: "fixed", left: "0", top: "0", width: "100%", height: "100%", zIndex: "2147483000",
    });
    this.toFrame({ t: "enlarged", on: true });
  }

  shrink() {
    Object.assign(this.frame.style, {
      position: "absolute", left: "0", top: "0", width: "100%", height: "100%", zIndex: "auto",
      border: "0", margin: "0", padding: "0", display: "block", background: "transparent", colorScheme: "normal",
    });
    this.toFrame({ t: "enlarged", on: false });
  }

  // The control fills the element's padding box: the area inside its border. Places
  // are in the viewport's coordinates, which the enlarged frame covers.
  box() {
    const rect = this.root.getBoundingClientRect();
    const viewport = document.documentElement;
    return {
      x: Math.round(rect.left), y: Math.round(rect.top),
      w: Math.max(1, Math.round(rect.width)), h: Math.max(1, Math.round(rect.height)),
      vw: Math.max(1, viewport.clientWidth), vh: Math.max(1, viewport.clientHeight),
    };
  }

  place() {
    this.toFrame({ t: "place", place: this.box() });
  }
}

function sizeOf(value) {
  if (!value) return "";
  return /^\d+(\.\d+)?$/.test(value.trim()) ? `${value.trim()}px` : value.trim();
}

function isLegacyObject(object) {
  const named = (name) => (object.getAttribute(name) || "").trim().toLowerCase();
  return named("classid") === CLASS_ID || named("type").includes(PROG_ID) || named("data").includes(PROG_ID);
}

// One <object> of the original control, replaced by an element of the same id and size
// that takes the original's postMessage and recvMessage at once; commands sent before
// the control is ready wait for it, in order.
function upgrade(object, options) {
  const element = document.createElement("div");
  if (object.id) element.id = object.id;
  element.className = object.className;
  element.style.cssText = object.style.cssText;
  const rect = object.getBoundingClientRect();
  element.style.display = getComputedStyle(object).display === "inline" ? "inline-block" : getComputedStyle(object).display;
  element.style.width = sizeOf(object.getAttribute("width")) || object.style.width || `${Math.round(rect.width)}px`;
  element.style.height = sizeOf(object.getAttribute("height")) || object.style.height || `${Math.round(rect.height)}px`;
  element.style.verticalAlign = element.style.verticalAlign || "bottom";
  let receiver = typeof object.recvMessage === "function" ? object.recvMessage : null;
  let control = null;
  const waiting = [];
  Object.defineProperty(element, "recvMessage", {
    get: () => receiver,
    set: (handler) => (receiver = typeof handler === "function" ? handler : null),
    configurable: true,
  });
  element.postMessage = (text) => (control ? control.postMessage(text) : waiting.push(String(text)));
  object.replaceWith(element);
  element.trellan = Trellan.create(element, options).then((created) => {
    created.recvMessage = (text) => receiver?.call(element, text);
    control = created;
    for (const text of waiting.splice(0)) created.postMessage(text);
    return created;
  });
  element.trellan.catch(() => {}); // the reason shows in the element
  return element;
}

/**
 * Replaces every <object> of the original control under root (by its class id, or by
 * its ProgID in a type or data attribute) with the control, and returns the new elements.
 */
export function upgradeObjects(root = document, options = {}) {
  return [...root.querySelectorAll("object")].filter(isLegacyObject).map((object) => upgrade(object, options));
}

export const Trellan = {
  /**
   * Shows the control in element. Resolves when the control is ready; rejects (and
   * shows why inside the element) when the browser refuses local access, trellan-host
   * is not running or does not allow this page, or the control cannot be started.
   */
  async create(element, options = {}) {
    if (!(element instanceof HTMLElement)) throw new TrellanError("Trellan.create needs an element");
    const host = options.host || DEFAULT_HOST;
    if (!/^https?:\/\/[^/]/.test(host) || !URL.canParse(host))
      throw new TrellanError(`options.host must be trellan-host's http address, not ${host}`);
    return new Control(element, host).start();
  },
};

export default Trellan;
