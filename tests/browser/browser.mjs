// What the page's browser tests share: headless Chromium or Firefox with its scrollbars shown,
// as a visitor's are, and kept from the network; and a static server on 127.0.0.1 that sends the
// page's files as they are, uncompressed, and counts the bytes it sends.
import { createReadStream, statSync } from "node:fs";
import { createServer } from "node:http";
import { createRequire } from "node:module";
import { extname, join, normalize } from "node:path";

export function launch(browserName, npmDir, profileDir) {
  const puppeteer = createRequire(`${npmDir}/package.json`)("puppeteer-core");
  return puppeteer.launch(browserName === "firefox" ? {
    browser: "firefox",
    executablePath: process.env.FIREFOX ?? "/usr/bin/firefox-esr",
    headless: true,
    userDataDir: profileDir,
    // Nothing from the network: no updates, no telemetry, no captive portal checks; and
    // scrollbars that take their room, not overlaid ones.
    extraPrefsFirefox: { "network.captive-portal-service.enabled": false,
      "app.update.enabled": false, "toolkit.telemetry.enabled": false,
      "widget.gtk.overlay-scrollbars.enabled": false },
  } : {
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    headless: true,
    userDataDir: profileDir,
    ignoreDefaultArgs: ["--hide-scrollbars"],
    // As root Chromium needs --no-sandbox; the next keep it from reaching for the network, and
    // the last from slowing the page's frames down as if nobody were looking.
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync", "--disable-quic",
      "--disable-renderer-backgrounding", "--disable-background-timer-throttling",
      "--disable-backgrounding-occluded-windows"],
  });
}

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
  ".woff2": "font/woff2" };

// Serves `dir` until close(); `served()` is the number of bytes sent so far.
export async function serve(dir) {
  let served = 0;
  const server = createServer((request, response) => {
    const path = normalize(join(dir, decodeURIComponent(new URL(request.url, "http://x").pathname)));
    let size;
    try {
      size = statSync(path).size;
    } catch {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "Content-Type": types[extname(path)] ?? "application/octet-stream",
      "Content-Length": size });
    served += size;
    createReadStream(path).pipe(response);
  });
  await new Promise((listening) => server.listen(0, "127.0.0.1", listening));
  return { url: `http://127.0.0.1:${server.address().port}`, served: () => served,
    close: () => server.close() };
}

// The console's rows, each without the spaces at its end, up to the last row that holds anything.
export function trimmed(rows) {
  const shown = rows.map((row) => row.trimEnd());
  while (shown.length > 0 && shown[shown.length - 1] === "") {
    shown.pop();
  }
  return shown;
}

// The console's rows as the page shows them, trimmed.
export async function rows(page) {
  return trimmed(await page.$$eval("#term > div", (all) => all.map((row) => row.textContent)));
}
