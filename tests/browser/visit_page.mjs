// Meets the page as a visitor would, over a static server of its own, in headless Chromium or
// Firefox with scrollbars shown, and prints one line for each thing a visitor notices first:
// at each window size whether anything scrolls sideways or the console sticks out of the
// window; at the sizes of a desk or a phone held sideways, which of the title, the choices, the
// console and its controls are in view; whether the poster is there while the player's script
// is still on its way; where Back goes after a choice; and what axe-core finds.
//
//   node visit_page.mjs chromium|firefox NPM_DIR PAGE_DIR PROFILE_DIR
import { readFileSync } from "node:fs";
import { launch, serve } from "./browser.mjs";

const [browserName, npmDir, pageDir, profileDir] = process.argv.slice(2);
// Width, height and device pixels per CSS pixel: desks, a phone held sideways and upright, and
// 1280 by 800 at a zoom of 200 %.
const sizes = [[1280, 800, 1], [1920, 1080, 1], [844, 390, 3], [390, 844, 3], [640, 400, 2]];
const server = await serve(pageDir);
const browser = await launch(browserName, npmDir, profileDir);
const say = (line) => console.log(line);

async function open(page, hash = "") {
  await page.goto(`${server.url}/index.html${hash}`);
  await page.evaluate(() => window.qavReady);
}

try {
  const page = await browser.newPage();
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));

  for (const [width, height, deviceScaleFactor] of sizes) {
    await page.setViewport({ width, height, deviceScaleFactor });
    await open(page);
    const seen = await page.evaluate(() => {
      const page = document.documentElement;
      const box = (selector) => document.querySelector(selector).getBoundingClientRect();
      const inside = ["#console", "#play"].every((selector) =>
        box(selector).left >= 0 && box(selector).right <= page.clientWidth);
      const inView = [["title", "main h1"], ["demo", "button[data-demo=demo_short]"],
        ["speed", "button[data-speed]:last-of-type"], ["console", "#screen"],
        ["controls", "#controls"]].filter(([, selector]) =>
        box(selector).top >= 0 && box(selector).bottom <= innerHeight).map(([name]) => name);
      return { sideways: page.scrollWidth - page.clientWidth, inside, inView,
        scrollbar: innerWidth - page.clientWidth };
    });
    const size = `${width}x${height}`;
    say(`${size}: sideways ${seen.sideways}, console and Play ${seen.inside ? "inside" : "outside"}` +
      ` the window${seen.scrollbar > 0 ? "" : " (no scrollbar shown)"}`);
    if (width > height) {
      say(`${size} in view: ${seen.inView.join(" ")}`);
    }
  }

  // The poster while the player's script is held back: there, and with boxes on it.
  await page.setViewport({ width: 1280, height: 800 });
  await page.setRequestInterception(true);
  let releasePlayer;
  const playerHeld = new Promise((resolve) => { releasePlayer = resolve; });
  const onRequest = async (request) => {
    if (request.url().endsWith("/asciinema-player.min.js")) {
      await playerHeld;
    }
    request.continue();
  };
  page.on("request", onRequest);
  const loading = page.goto(`${server.url}/index.html`);
  await page.waitForFunction(() => document.readyState !== "loading" ||
    document.body?.textContent.includes("QAV"), { timeout: 10000 }).catch(() => {});
  const poster = await page.evaluate(() => {
    const boxes = document.getElementById("poster")?.textContent.includes("#######");
    return `${boxes ? "boxes" : "no boxes"}, ${
      typeof AsciinemaPlayer === "undefined" ? "before" : "after"} the player`;
  });
  say(`poster with the player's script held back: ${poster}`);
  releasePlayer();
  await loading;
  await page.evaluate(() => window.qavReady);
  page.off("request", onRequest);
  await page.setRequestInterception(false);

  // Back after a choice returns to the one before it.
  await page.goto("about:blank");
  await open(page);
  await page.click("button[data-demo=demo_short]");
  await page.evaluate(() => window.qavReady);
  // Should Back leave the page, the evaluation that asks for it may end with the page.
  await page.evaluate(() => history.back()).catch(() => {});
  await new Promise((settled) => setTimeout(settled, 1000));
  const back = await page.evaluate(async () => {
    await window.qavReady;
    return `${location.href.replace(/^.*\//, "")}, ${
      document.querySelector("button[data-demo][aria-pressed=true]")?.textContent ?? "no choice"}`;
  });
  say(`Back after choosing demo_short: ${back}`);

  // axe-core, at the first view and after a choice.
  const axe = readFileSync(`${npmDir}/node_modules/axe-core/axe.min.js`, "utf8");
  for (const [when, hash] of [["first view", ""], ["demo_short playing", "#demo_short"]]) {
    await open(page, hash);
    const found = await page.evaluate(async (source) => {
      if (!window.axe) {
        new Function(source)();
      }
      const { violations } = await window.axe.run(document);
      return violations.map(({ id, nodes }) => `${id} (${nodes.length})`).join(" ");
    }, axe);
    say(`axe-core at the ${when}: ${found || "no violations"}`);
  }
  say(["errors:", ...errors].join(" "));
} finally {
  await browser.close();
  server.close();
}
