// Declarations of trellan.js, the page side of the Trellan upload control.

/** A failure to start or reach the control; its message is also shown in the element. */
export declare class TrellanError extends Error {}

export interface TrellanOptions {
  /** Where trellan-host listens; default "http://127.0.0.1:17328". */
  host?: string;
}

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

export declare const Trellan: {
  /**
   * Shows the control in element. Resolves when the control is ready; rejects with a
   * TrellanError (shown inside the element too) when trellan-host is not running,
   * refuses this page's origin, or cannot start the control.
   */
  create(element: HTMLElement, options?: TrellanOptions): Promise<TrellanControl>;
};

export default Trellan;
