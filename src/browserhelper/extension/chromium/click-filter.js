// A link to a file the browser would show itself (a sound, a picture) never becomes
// a download, so the downloads hook in the background never sees it. This filter
// holds back a plain click on such a link, asks the background whether Lumet takes
// the address, and follows the link itself when not. It runs after the page's own
// handlers, so a link the page handles is left to the page.
"use strict";

window.addEventListener("click", (event) => {
  if (event.defaultPrevented || event.button !== 0) return;
  if (event.ctrlKey || event.shiftKey || event.altKey || event.metaKey) return;
  const link = event.target instanceof Element ? event.target.closest("a[href]") : null;
  if (!link || link.hasAttribute("download")) return;
  let url;
  try {
    url = new URL(link.href);
  } catch (error) {
    return;
  }
  // A query makes the extension unusable anyway; a name without a dot has none.
  if ((url.protocol !== "http:" && url.protocol !== "ftp:") || url.search) return;
  const name = url.pathname.slice(url.pathname.lastIndexOf("/") + 1);
  if (!name.includes(".")) return;

  event.preventDefault();
  const href = link.href;
  const target = link.target;
  const follow = () => {
    if (target && target !== "_self") window.open(href, target);
    else window.location.assign(href);
  };
  chrome.runtime
    .sendMessage({ type: "click", url: href })
    .then((answer) => {
      if (!(answer && answer.taken)) follow();
    })
    .catch(follow);
});
