// Meets the page as a visitor would, over a static server of its own, in headless Chromium or
// Firefox with scrollbars shown, and prints one line for each thing a visitor notices first:
// at each window size whether anything scrolls sideways or the console sticks out of the
// window; at the sizes of a desk or a phone held sideways, which of the title, the choices, the
// console and its controls are in view; whether the poster is there while the player's script
// is still on its way; where Back goes after a choice; and what axe-core finds.
//
//   node visit_page.mjs chromium|firefox NPM_DIR PAGE_DIR PROFILE_DIR
import { readFileSync } from "node:fs";
import { launch, rows, serve } from "./browser.mjs";

const [browserName, npmDir, pageDir, profileDir] = process.argv.slice(2);
// Width, height and device pixels per CSS pixel: desks, a phone held sideways and upright, and
// 1280 by 800 at a zoom of 200 %.
const sizes = [[1280, 800, 1], [1366, 768, 1], [1920, 1080, 1], [844, 390, 3], [390, 844, 3],
  [640, 400, 2]];
const server = await serve(pageDir);
const browser = await launch(browserName, npmDir, profileDir);
const say = (line) => console.log(line);

async function open(page, hash = "") {
  await page.goto("about:blank");
  await page.goto(`${server.url}/index.html${hash}`);
  await page.evaluate(() => window.qavReady);
}

const link = (page) => page.$eval("#moment", (a) => a.getAttribute("href"));
const pause = (ms) => new Promise((done) => setTimeout(done, ms));

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
        ["controls", "#controls"], ["status", "#now"]].filter(([, selector]) =>
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

  // The poster while the page's script is held back: there, and with boxes on it.
  await page.setViewport({ width: 1280, height: 800 });
  await page.setRequestInterception(true);
  let releaseScript;
  const scriptHeld = new Promise((resolve) => { releaseScript = resolve; });
  const onRequest = async (request) => {
    if (request.url().endsWith("/page.js")) {
      await scriptHeld;
    }
    request.continue();
  };
  page.on("request", onRequest);
  await page.goto("about:blank");
  const loading = page.goto(`${server.url}/index.html`);
  // The HTML as far as the poster and Play, however long a busy machine takes to parse it.
  await page.waitForFunction(() => document.getElementById("poster") &&
    document.getElementById("play"), { timeout: 60000 });
  const poster = await page.evaluate(() => {
    const boxes = document.getElementById("poster")?.textContent.includes("#######");
    return `${boxes ? "boxes" : "no boxes"}, ${
      typeof window.qavShowMoment === "undefined" ? "before" : "after"} the script`;
  });
  say(`poster with the page's script held back: ${poster}`);
  await page.click("#play");
  const early = await page.$eval("#play", (button) => button.textContent);
  releaseScript();
  await loading;
  await page.waitForFunction(() => window.qavReady !== undefined);
  await page.evaluate(() => window.qavReady);
  say(`Play pressed before the script: ${early}, then ${
    await page.$eval("#play", (button) => button.textContent)}`);
  page.off("request", onRequest);
  await page.setRequestInterception(false);

  // Back after a choice returns to the one before it.
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

  // A click on the console plays, and another pauses.
  await open(page);
  await page.click("#screen");
  const started = await page.$eval("#play", (button) => button.textContent);
  await pause(300);
  await page.click("#screen");
  const stopped = await page.$eval("#play", (button) => button.textContent);
  say(`click on the console: ${started === "Pause" ? "plays" : "does not play"}, ${
    stopped === "Play" ? "pauses" : "does not pause"}`);

  // Played from the start, the opening pause: the underline cursor blinking at the top left, a
  // caption that says whose pause it is, and a way to skip it; paused, the cursor stays on.
  await open(page);
  await page.click("#play");
  const opening = await page.evaluate(() => {
    const cursor = document.getElementById("cursor");
    const style = getComputedStyle(cursor);
    const where = `${style.getPropertyValue("--row")},${style.getPropertyValue("--col")}`;
    const blinking = style.animationName === "blink" ? "blinking" : "steady";
    const caption = document.getElementById("now").textContent;
    document.getElementById("skip").click();
    document.getElementById("play").click();
    return `cursor at ${where} ${blinking}; "${caption}"; skipped to ${
      document.getElementById("now").textContent}, cursor ${
      getComputedStyle(cursor).animationName === "none" ? "steady" : "blinking"} when paused`;
  });
  say(`opening pause: ${opening}`);

  // A change of speed keeps the characters drawn, and the time into a pause; playing stays
  // playing.
  const kept = [];
  for (const hash of ["#demo/60000/300000", "#demo/60000/23890/1500"]) {
    await open(page, hash);
    await page.click("button[data-speed='240000']");
    kept.push(`${hash} ${await link(page)}`);
  }
  await open(page, "#demo/60000/300000");
  await page.click("#play");
  await pause(200);
  kept.push(await page.evaluate(() => {
    const before = document.getElementById("moment").getAttribute("href").split("/")[2];
    document.querySelector("button[data-speed='20000']").click();
    const after = document.getElementById("moment").getAttribute("href").split("/")[2];
    return `playing ${before === after ? "same" : `${before} then ${after}`} characters, ${
      document.getElementById("play").textContent === "Pause" ? "still playing" : "stopped"}`;
  }));
  await open(page, "#demo/60000/300000");
  kept.push(`slider half-way ${await page.evaluate(() => {
    const slider = document.getElementById("speed-scale");
    slider.value = "500";
    slider.dispatchEvent(new Event("input"));
    slider.dispatchEvent(new Event("change"));
    return document.getElementById("moment").getAttribute("href");
  })}`);
  say(`speed changed: ${kept.join("; ")}`);

  // The link to a moment, mid-boxes and mid-pause, opens the same screen.
  const reopened = [];
  for (const moment of [16.2e9, 11.3e9]) {
    await open(page, "#demo/20000");
    await page.evaluate((at) => window.qavShowMoment(at), moment);
    const [href, shown] = [await link(page), await rows(page)];
    await open(page, href);
    reopened.push(`${href} ${
      JSON.stringify(await rows(page)) === JSON.stringify(shown) ? "same" : "another"} screen`);
  }
  say(`link to this moment: ${reopened.join(", ")}`);

  if (browserName === "chromium") {
    // A choice of the short demo, whose data comes late, then of the main demo again: the main
    // demo's poster, not a blank console.
    await open(page);
    await page.setRequestInterception(true);
    const delay = async (request) => {
      if (request.url().endsWith("/demo_short.js")) {
        await pause(1500);
      }
      request.continue();
    };
    page.on("request", delay);
    await page.click("button[data-demo=demo_short]");
    await page.click("button[data-demo=demo]");
    await pause(2500);
    const ended = await page.evaluate(() => [
      document.querySelector("button[data-demo][aria-pressed=true]").textContent,
      document.getElementById("shown").textContent.split(",")[0],
      document.getElementById("loading").hidden ? "loaded" : "loading",
      document.getElementById("play").textContent === "Pause" ? "playing"
        : [...document.querySelectorAll("#term > div")].some((row) =>
          row.textContent.includes("#######")) ? "poster" : "blank"].join(", "));
    say(`demo_short chosen while its data is delayed, then demo: ${ended}`);
    page.off("request", delay);
    await page.setRequestInterception(false);

    // Over two seconds of the boxes at 60,000 characters a second, every animation frame draws
    // the screen of its own timestamp's moment, a new one each time, and there are 50 or more
    // of them a second: a frame the page let pass shows as a timestamp of the test's own that
    // the page did not draw. A machine too busy to give the browser 50 frames a second is
    // measured again, a few times.
    let stepping;
    for (let attempt = 0; attempt < 5; ++attempt) {
      await open(page, "#demo/60000/24947");
      stepping = await page.evaluate(async () => {
        const seen = [];
        const watch = (ts) => {
          seen.push(ts);
          requestAnimationFrame(watch);
        };
        window.qavFrameLog = [];
        document.getElementById("play").click();
        requestAnimationFrame(watch);
        await new Promise((done) => setTimeout(done, 2000));
        document.getElementById("play").click();
        const log = window.qavFrameLog;
        const first = log[0];
        const last = log[log.length - 1];
        const drawn = new Set(log.map(({ ts }) => ts));
        const within = seen.filter((ts) => ts > first.ts && ts < last.ts);
        const missed = within.filter((ts) => !drawn.has(ts)).length;
        const ownMoment = log.every(({ ts, moment }) =>
          Math.abs(moment - first.moment - (ts - first.ts) * 1e6) <= 1);
        const fresh = log.slice(1).every(({ chars }, i) => chars > log[i].chars);
        const rate = ((log.length - 1) * 1000) / (last.ts - first.ts);
        const given = ((within.length + 1) * 1000) / (last.ts - first.ts);
        return { given, text: [missed === 0 ? "every frame drawn" : `${missed} frames not drawn`,
          ownMoment ? "each its own moment" : "moments not their frames'",
          fresh ? "each new" : "some repeated",
          rate >= 50 ? "50 or more a second" : `${rate.toFixed(1)} a second`].join(", ") };
      });
      // A busy machine can also hand the page two frames at one moment now and then; a page
      // that merges or repeats frames does so at every attempt.
      if (stepping.given >= 50 &&
        stepping.text === "every frame drawn, each its own moment, each new, 50 or more a second") {
        break;
      }
    }
    say(`frames over two seconds of the boxes: ${stepping.text}`);
  }

  // axe-core, at the first view and while each demo plays.
  const axe = readFileSync(`${npmDir}/node_modules/axe-core/axe.min.js`, "utf8");
  for (const [when, hash] of [["first view", ""], ["demo playing", "#demo"],
    ["demo_short playing", "#demo_short"]]) {
    await open(page, hash);
    if (when !== "first view") {
      await page.click("#play");
    }
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
