// Opens the page in headless Chromium or Firefox, from disk or from a static server of its own on
// 127.0.0.1, and prints what the first view of it loaded: "--- first view N bytes" (what the
// server sent, or from disk the sizes of the files Chromium asked for). Then, for each
// reading NAME@SPEED:MOMENT,... it chooses that demo at that speed and prints the 25 rows its
// terminal shows at each moment (seconds into the recording, or "end"), each after a line
// "--- screen NAME@SPEED MOMENT"; last, after "--- errors", every error the page reported. With
// SCREENSHOT set to a file name, a picture of the page at the last moment goes there too (of the
// first view, with no readings), in a window of WINDOW ("390x844"; 1280x800 unless set).
//
//   node read_page.mjs chromium|firefox NPM_DIR PAGE_DIR PROFILE_DIR file|http|single READING...
import { statSync } from "node:fs";
import { fileURLToPath, pathToFileURL } from "node:url";
import { launch, serve } from "./browser.mjs";

const [browserName, npmDir, pageDir, profileDir, origin, ...readings] = process.argv.slice(2);
const server = origin === "http" ? await serve(pageDir) : null;
// "single": the page as one file, alone in the folder.
const pageUrl = server ? `${server.url}/index.html`
  : pathToFileURL(`${pageDir}/${origin === "single" ? "qav-demos.html" : "index.html"}`).href;
const browser = await launch(browserName, npmDir, profileDir);
const errors = [];
try {
  const page = await browser.newPage();
  page.on("console", (message) => {
    if (message.type() === "error") errors.push(message.text());
  });
  page.on("pageerror", (error) => errors.push(error.message));
  const fromDisk = new Set();
  page.on("request", (request) => {
    if (request.url().startsWith("file:")) fromDisk.add(fileURLToPath(request.url()));
  });
  page.on("requestfailed", (request) => errors.push(`failed to load ${request.url()}`));
  const [width, height] = (process.env.WINDOW ?? "1280x800").split("x").map(Number);
  await page.setViewport({ width, height });
  await page.goto(pageUrl);
  await page.evaluate(() => window.qavReady);
  // Firefox reports no requests for files from disk: there only the server's count is had.
  if (origin === "http" || browserName === "chromium") {
    const loaded = server ? server.served()
      : [...fromDisk].reduce((sum, file) => sum + statSync(file).size, 0);
    console.log(`--- first view ${loaded} bytes`);
  }

  for (const reading of readings) {
    const [choice, moments] = reading.split(":");
    const [demo, speed] = choice.split("@");
    await page.click(`button[data-demo="${demo}"]`);
    await page.evaluate(() => window.qavReady);
    await page.click(`button[data-speed="${speed}"]`);
    await page.evaluate(() => window.qavReady);
    if (process.env.SCREENSHOT) {
      // Once it has played, the player shows the picture without its big start button over it.
      await page.evaluate(async () => {
        await window.player.play();
        await window.player.pause();
      });
    }
    for (const moment of moments.split(",")) {
      await page.evaluate((at) => window.player.seek(at === "end" ? "100%" : Number(at)), moment);
      // The terminal is drawn on the next animation frames.
      await page.evaluate(() => new Promise((done) => setTimeout(done, 500)));
      const rows = await page.evaluate(() =>
        [...document.querySelectorAll("pre.ap-term-text span.ap-line")].map((line) => {
          let row = "";
          for (const run of line.children) {
            const offset = Number(getComputedStyle(run).getPropertyValue("--offset"));
            row = row.padEnd(offset, " ") + run.textContent;
          }
          return row.replace(/\s+$/, "");
        }));
      console.log([`--- screen ${choice} ${moment}`, ...rows].join("\n"));
    }
  }
  if (process.env.SCREENSHOT) {
    await page.screenshot({ path: process.env.SCREENSHOT });
  }
} finally {
  await browser.close();
  server?.close();
}
console.log(["--- errors", ...errors].join("\n"));
