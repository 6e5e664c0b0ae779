// KarvoIE for Chromium. Every download the browser is about to save, and every
// link click the click filter holds back, is put to the native host, which decides
// as Lumet's settings say and hands the address to Lumet. Only when Lumet took it
// is the browser's own download cancelled; with no host (integration off), a host
// that ends, or no answer in time, the browser goes on as if we were not here.
"use strict";

const HOST = "org.vornelkarvo.karvoie";
// The host gives up on Lumet after 10 s; this only guards against a host that hangs.
const ANSWER_TIMEOUT_MS = 15000;
// How long a link the click filter let through may take to come back as a download.
const RELEASE_MS = 30000;

let connection = null;
let nextId = 1;
// Addresses the host already declined from the click filter: the download the
// re-opened link turns into is not asked about (or handed over) a second time.
const released = new Map();

// One port for all questions, opened when the first one is asked.
function connect() {
  if (connection) return connection;
  let port;
  try {
    port = chrome.runtime.connectNative(HOST);
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
    void chrome.runtime.lastError;
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

function isCandidate(url) {
  const lower = String(url).toLowerCase();
  return lower.startsWith("http://") || lower.startsWith("ftp://");
}

function takeReleased(url) {
  const since = released.get(url);
  released.delete(url);
  return since !== undefined && Date.now() - since < RELEASE_MS;
}

async function focusedWindowId() {
  try {
    const window = await chrome.windows.getLastFocused();
    return window.id;
  } catch (error) {
    return -1;
  }
}

chrome.windows.onCreated.addListener((window) => {
  ask({ type: "attach", window: window.id });
});

chrome.windows.onRemoved.addListener((windowId) => {
  if (connection) ask({ type: "detach", window: windowId });
});

// Registered at the top level so that the event wakes the service worker.
chrome.downloads.onDeterminingFilename.addListener((item, suggest) => {
  const url = item.url;
  if (!isCandidate(url) || takeReleased(url)) {
    suggest();
    return;
  }
  focusedWindowId()
    .then((window) => ask({ type: "navigate", window, url, kind: "download" }))
    .then((cancel) => {
      if (!cancel) {
        suggest();
        return;
      }
      chrome.downloads.cancel(item.id, () => {
        void chrome.runtime.lastError;
        chrome.downloads.erase({ id: item.id }, () => void chrome.runtime.lastError);
      });
    });
  return true;
});

chrome.runtime.onMessage.addListener((message, sender, sendResponse) => {
  if (!message || message.type !== "click" || typeof message.url !== "string") return false;
  const window = sender.tab ? sender.tab.windowId : -1;
  ask({ type: "navigate", window, url: message.url, kind: "click" }).then((taken) => {
    if (!taken) released.set(message.url, Date.now());
    sendResponse({ taken });
  });
  return true;
});
