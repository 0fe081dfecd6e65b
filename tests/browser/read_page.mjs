// Opens the page in headless Chromium, chooses a demo, and prints the 25 rows its terminal shows
// at each moment asked for (seconds into the recording, or "end"), each screen after a line
// "--- screen"; then, after "--- errors", every error the page reported. With SCREENSHOT set to
// a file name, a picture of the page at the last moment goes there too.
//
//   node read_page.mjs NPM_DIR PAGE_FILE PROFILE_DIR DEMO MOMENT...
import { createRequire } from "node:module";
import { pathToFileURL } from "node:url";

const [npmDir, pageFile, profileDir, demo, ...moments] = process.argv.slice(2);
const puppeteer = createRequire(`${npmDir}/package.json`)("puppeteer-core");

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  headless: true,
  userDataDir: profileDir,
  // As root Chromium needs --no-sandbox; the rest keeps it from reaching for the network.
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--disable-quic"],
});
const errors = [];
try {
  const page = await browser.newPage();
  page.on("console", (message) => {
    if (message.type() === "error") errors.push(message.text());
  });
  page.on("pageerror", (error) => errors.push(error.message));
  page.on("requestfailed", (request) => errors.push(`failed to load ${request.url()}`));
  await page.setViewport({ width: 1280, height: 800 });
  await page.goto(pathToFileURL(pageFile).href);
  await page.click(`button[data-demo="${demo}"]`);
  await page.waitForSelector("pre.ap-term-text span.ap-line");

  if (process.env.SCREENSHOT) {
    // Once it has played, the player shows the picture without its big start button over it.
    await page.evaluate(async () => {
      await window.player.play();
      await window.player.pause();
    });
  }
  for (const moment of moments) {
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
    console.log(["--- screen", ...rows].join("\n"));
  }
  if (process.env.SCREENSHOT) {
    await page.screenshot({ path: process.env.SCREENSHOT });
  }
} finally {
  await browser.close();
}
console.log(["--- errors", ...errors].join("\n"));
