// Declarations of trellan.js, the page side of the Trellan upload control.

/** A failure to start or reach the control; its message is also shown in the element. */
export declare class TrellanError extends Error {}

export interface TrellanOptions {
  /** Where trellan-host listens; default "http://127.0.0.1:17328". */
  host?: string;
}

/** Members of the "init" command's "config" that shape what an upload sends (all optional). */
export interface TrellanUploadConfig {
  /** Send a photo the user did not edit or turn as its file's own bytes; default false. */
  SendOriginal?: boolean;
  /** Scale a wider photo down to this width before upload; missing or 0: no limit. */
  MaxWidth?: number;
  /** Scale a taller photo down to this height before upload; missing or 0: no limit. */
  MaxHeight?: number;
  /** JPEG quality, 1 to 100; default 100. */
  JpegQuality?: number;
}

/** The "init" command's "config" member that chooses the interface's language. */
export interface TrellanInterfaceConfig {
  /** "zh-CN" (the default) or "en"; any other value is ignored and gives Chinese. */
  Language?: "zh-CN" | "en";
}

/** Members of the "init" command's "config" for restrictions, per-file events and retries (all optional). */
export interface TrellanPageConfig {
  /** The most files the list holds, 1 to 10000; default 300. "addFile" keeps to it once given. */
  MaxFiles?: number;
  /** The largest file taken, in bytes; 0 (the default) is no limit. */
  MaxFileSize?: number;
  /** The extensions taken by every way of adding, such as ["jpg", "png"]; default the control's picture types. */
  AllowedTypes?: string[];
  /** Send the per-file events (TrellanFileEvent); default false. */
  Events?: boolean;
  /** How often a file is sent again after a network error, a time-out, a 5xx or a 429; default 0. */
  RetryCount?: number;
  /** The wait before each retry in milliseconds, the last one repeating; default [1000, 3000, 5000]. */
  RetryDelays?: number[];
}

/** Why a file was not added. */
export type TrellanRefusal = "type" | "unreadable" | "not_regular" | "too_many" | "too_large";

/** Why an upload attempt failed. */
export type TrellanUploadFailure =
  | "network"
  | "timeout"
  | "http_status"
  | "not_success"
  | "destination_refused"
  | "unreadable"
  | "cancelled";

/** A file as "getFiles" lists it; name is without folders under an untrusted caller, except for paths given with "addFile". */
export interface TrellanFile {
  id: string;
  name: string;
  size: number;
  width: number;
  height: number;
  remark: string;
  state: "waiting" | "sent" | "failed";
}

/** The events "Events": true adds (and the "files" answer to "getFiles"), as recvMessage receives them after JSON.parse. */
export type TrellanFileEvent =
  | { name: "file_added"; id: string; fileName: string; size: number }
  | { name: "file_refused"; fileName: string; reason: TrellanRefusal }
  | { name: "file_removed"; id: string }
  | { name: "upload_started"; count: number; bytes: number }
  | { name: "upload_progress"; id: string; sent: number; total: number }
  | { name: "upload_retry"; id: string; attempt: number; delay: number; reason: TrellanUploadFailure; status?: number }
  | { name: "upload_success"; id: string; svr: unknown }
  | { name: "upload_error"; id: string; reason: TrellanUploadFailure; status?: number; svr?: unknown }
  | { name: "upload_finished"; succeeded: number; failed: number; cancelled: number }
  | { name: "files"; files: TrellanFile[] };

/** The page commands that act on the list; neither starts an upload. */
export type TrellanListCommand = { name: "removeFile"; id: string } | { name: "getFiles" };

export interface TrellanControl {
  /** Sends one JSON command, such as {"name":"init","config":{...}}. */
  postMessage(text: string): void;
  /**
   * Receives each page event as JSON text (for example "load_complete" or "post_complete"),
   * asynchronously and in the order the control sent them.
   */
  recvMessage: ((text: string) => void) | null;
  /** Ends the session and its control process. */
  close(): void;
  /** Settles when the session has ended, with the text shown in the element (empty after close()). */
  readonly closed: Promise<string>;
}

/** The element that replaces an <object> of the original control. */
export interface TrellanElement extends HTMLElement {
  /** Sends one JSON command; commands sent before the control is ready are delivered once it is, in order. */
  postMessage(text: string): void;
  /** Receives each page event as JSON text, called with the element as this. */
  recvMessage: ((text: string) => void) | null;
  /** Settles with the control once it is ready; rejects as Trellan.create does. */
  readonly trellan: Promise<TrellanControl>;
}

export declare const Trellan: {
  /**
   * Shows the control in element. Resolves when the control is ready; rejects with a
   * TrellanError (shown inside the element too) when the browser refuses local network
   * access, trellan-host is not running or does not allow this page's origin, or the
   * control cannot be started.
   */
  create(element: HTMLElement, options?: TrellanOptions): Promise<TrellanControl>;
};

/**
 * Replaces every <object> of the original control under root (class id
 * clsid:DF3775A4-90EF-4965-B751-D48698F3949F, or the ProgID Zivoro.Trellan64 in its type
 * or data attribute) with the control at the same size, keeping its id.
 */
export declare function upgradeObjects(root?: ParentNode, options?: TrellanOptions): TrellanElement[];

export default Trellan;
