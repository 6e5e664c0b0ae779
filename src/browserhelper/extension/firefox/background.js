// KarvoIE for Firefox. Every page and frame navigation to an http:// address is held
// before its request leaves the browser and put to the native host, which decides as
// Lumet's settings say and hands the address to Lumet. Only when Lumet took it is
// the navigation cancelled; with no host (integration off), a host that ends, or no
// answer in time, it goes on. Firefox waits for the answer without a time-out of
// its own, hence the one here.
"use strict";

const HOST = "org.vornelkarvo.karvoie";
// The host gives up on Lumet after 10 s; this only guards against a host that hangs.
const ANSWER_TIMEOUT_MS = 15000;

let connection = null;
let nextId = 1;

// One port for all questions, opened when the first one is asked.
function connect() {
  if (connection) return connection;
  let port;
  try {
    port = browser.runtime.connectNative(HOST);
  } catch (error) {
    return null;
  }
  const current = { port, pending: new Map() };
  port.onMessage.addListener((answer) => {
    const resolve = current.pending.get(answer && answer.id);
    if (!resolve) return;
    current.pending.delete(answer.id);
    resolve(answer.cancel === true);
  });
  port.onDisconnect.addListener(() => {
    if (connection === current) connection = null;
    for (const resolve of current.pending.values()) resolve(false);
    current.pending.clear();
  });
  connection = current;
  return current;
}

// Resolves to the host's "cancel": true only when Lumet took the address.
function ask(message) {
  return new Promise((resolve) => {
    const current = connect();
    if (!current) {
      resolve(false);
      return;
    }
    const id = nextId++;
    const timer = setTimeout(() => {
      current.pending.delete(id);
      resolve(false);
    }, ANSWER_TIMEOUT_MS);
    current.pending.set(id, (cancel) => {
      clearTimeout(timer);
      resolve(cancel);
    });
    try {
      current.port.postMessage({ ...message, id });
    } catch (error) {
      current.pending.get(id)(false);
      current.pending.delete(id);
    }
  });
}

async function windowOfTab(tabId) {
  try {
    return (await browser.tabs.get(tabId)).windowId;
  } catch (error) {
    return -1;
  }
}

browser.windows.onCreated.addListener((window) => {
  ask({ type: "attach", window: window.id });
});

browser.windows.onRemoved.addListener((windowId) => {
  if (connection) ask({ type: "detach", window: windowId });
});

browser.webRequest.onBeforeRequest.addListener(
  async (details) => {
    // Requests of the browser itself or of extensions belong to no page.
    if (details.tabId < 0) return {};
    const window = await windowOfTab(details.tabId);
    const cancel = await ask({
      type: "navigate",
      window,
      url: details.url,
      method: details.method,
      kind: details.type === "main_frame" ? "main" : "sub",
    });
    return { cancel };
  },
  { urls: ["http://*/*"], types: ["main_frame", "sub_frame"] },
  ["blocking"]
);
