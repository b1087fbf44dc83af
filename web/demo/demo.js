// The demo page: embeds the control, sends "init" and "setFields", logs every page event.
import { Trellan } from "/trellan.js";

const log = document.getElementById("log");
const receiver = `${location.origin}/demo/upload`;

function note(text, kind = "in") {
  const item = document.createElement("li");
  item.className = kind;
  item.textContent = text.trimEnd();
  log.append(item);
  log.scrollTop = log.scrollHeight;
}

function command(control, message) {
  const text = JSON.stringify(message);
  note("→ " + text, "out");
  control.postMessage(text);
}

async function addSampleButtons(control) {
  const samples = await (await fetch("/demo/samples")).json();
  const place = document.getElementById("samples");
  samples.forEach((path, index) => {
    const button = document.createElement("button");
    button.type = "button";
    button.textContent = `addFile ${path.split("/").pop()}`;
    button.dataset.sample = String(index);
    button.onclick = () => command(control, { name: "addFile", path });
    place.append(button);
  });
}

async function start() {
  let control;
  try {
    // ?host=ADDRESS embeds the control of another trellan-host.
    const host = new URLSearchParams(location.search).get("host") || location.origin;
    control = await Trellan.create(document.getElementById("uploader"), { host });
  } catch (error) {
    note(error.message, "error");
    return;
  }
  window.trellanDemo = { control, events: [] };
  control.recvMessage = (text) => {
    window.trellanDemo.events.push(JSON.parse(text));
    note("← " + text);
  };
  control.closed.then((text) => note(text || "session closed", "error"));
  // ?lang=en shows the control's interface in English.
  const language = new URLSearchParams(location.search).get("lang");
  const config = { PostUrl: receiver, ThreadCount: 3, FileNameGen: "ori", ...(language ? { Language: language } : {}) };
  const init = () => command(control, { name: "init", config });
  document.getElementById("init").onclick = init;
  document.getElementById("fields").onclick = () => command(control, { name: "setFields", fields: { album: "demo", 作者: "演示" } });
  document.getElementById("close").onclick = () => control.close();
  init();
  command(control, { name: "setFields", fields: { album: "demo" } });
  await addSampleButtons(control);
}

start();
