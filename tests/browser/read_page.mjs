// Opens the page in headless Chromium or Firefox, from disk or from a static server of its own on
// 127.0.0.1, and prints what the first view of it loaded: "--- first view N bytes" (what the
// server sent until the network was idle, or from disk the sizes of the files Chromium asked
// for). Then, for each reading NAME@SPEED:MOMENT,... it chooses that demo at that speed through
// the address and prints the 25 rows its console shows at each moment (nanoseconds into the
// performance), each after a line "--- screen NAME@SPEED MOMENT"; with "chapters" for the
// moments, the rows shown after a click on each chapter button. Last, after "--- errors", every
// error the page reported. With SCREENSHOT set to a file name, a picture of the page at the last
// moment goes there too (of the first view, with no readings), in a window of WINDOW
// ("390x844"; 1280x800 unless set).
//
//   node read_page.mjs chromium|firefox NPM_DIR PAGE_DIR PROFILE_DIR file|http|single READING...
import { statSync } from "node:fs";
import { fileURLToPath, pathToFileURL } from "node:url";
import { launch, rows, serve, trimmed } from "./browser.mjs";

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
  await page.goto(pageUrl, { waitUntil: "networkidle0" });
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
    await page.evaluate((hash) => { location.hash = hash; }, `#${demo}/${speed}`);
    await page.waitForFunction((name) =>
      document.querySelector(`button[data-demo="${name}"]`).getAttribute("aria-pressed") === "true",
    {}, demo);
    await page.evaluate(() => window.qavReady);
    if (moments === "chapters") {
      const names = await page.$$eval("#chapters button:not([hidden])", (all) =>
        all.map((button) => button.textContent));
      for (const name of names) {
        await page.evaluate((text) => [...document.querySelectorAll("#chapters button")]
          .find((button) => button.textContent === text).click(), name);
        console.log([`--- screen ${choice} ${name}`, ...await rows(page)].join("\n"));
      }
      continue;
    }
    // All the moments in one go: a round trip to the browser for each would take far longer.
    const screens = await page.evaluate((list) => list.map((at) => {
      window.qavShowMoment(Number(at));
      return [...document.querySelectorAll("#term > div")].map((row) => row.textContent);
    }), moments.split(","));
    moments.split(",").forEach((moment, i) => {
      console.log([`--- screen ${choice} ${moment}`, ...trimmed(screens[i])].join("\n"));
    });
  }
  if (process.env.SCREENSHOT) {
    await page.screenshot({ path: process.env.SCREENSHOT });
  }
} finally {
  await browser.close();
  server?.close();
}
console.log(["--- errors", ...errors].join("\n"));
