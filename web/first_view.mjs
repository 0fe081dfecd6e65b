// Writes the page's first view into its HTML, so that it is there before any script runs: the
// main demo's poster (its 25 rows, as runs of glyphs placed by row and column, at the moment the chain of boxes is mid-travel, and which
// moment that is), its length, its chapters as markers and buttons, and a button for each speed;
// and the page's styles, so that the poster waits for no other file than the font's.
//
//   node first_view.mjs TEMPLATE STYLES OUTPUT CAST "SPEED..." DEFAULT_SPEED FONT(yes|no)
//        VIDEO(yes|no)
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";

const { chapters, screenAt, runs, clock, speedName } = createRequire(import.meta.url)("./recording.js");
const [template, styles, output, castFile, speedList, defaultText, font, video] = process.argv.slice(2);
const speeds = speedList.split(" ").map(Number);
const defaultSpeed = Number(defaultText);
let html = readFileSync(template, "utf8");
const cast = readFileSync(castFile, "utf8");

const messages = [...html.matchAll(/<dt lang="da">([^<]*)<\/dt>\s*<dd>([^<]*)<\/dd>/g)].map(
  ([, danish, english]) => ({ danish, english }));
const shown = chapters(cast, messages);
const duration = JSON.parse(cast.trimEnd().split("\n").pop())[0];
const percent = (seconds) => `${((100 * seconds) / duration).toFixed(3)}%`;
const grouped = (speed) => speed.toLocaleString("en");

const values = {
  SPEEDS: speedList,
  DEFAULT_SPEED: defaultText,
  DEFAULT_SPEED_TEXT: grouped(defaultSpeed),
  FONT_STYLES: font === "yes" ? '<link rel="stylesheet" href="font.css">' : "",
  VIDEO_LINK: video === "yes"
    ? ' · <a id="video" href="demo.mp4" download>the main demo as a video, demo.mp4</a>' : "",
  SPEED_BUTTONS: speeds.map((speed) => {
    const name = speedName(speed, defaultSpeed);
    return `<button type="button" data-speed="${speed}" aria-pressed="${speed === defaultSpeed}" ` +
      `aria-label="${name}, ${grouped(speed)} a second">${name}</button>`;
  }).join("\n        "),
  POSTER: runs(screenAt(cast, shown.posterAt)).map(({ row, col, text }) =>
    `<span style="--row: ${row}; --col: ${col}">${text}</span>`).join(""),
  POSTER_NOTE: `at ${clock(shown.posterAt, true)}; Play starts at 0:00`,
  POSTER_DESCRIPTION: `before play, the main demo's chain of boxes mid-travel, as at ` +
    `${clock(shown.posterAt, true)}`,
  DURATION: clock(duration),
  SECONDS: duration.toFixed(3),
  MARKERS: shown.chapters.map(({ at }) => `<span style="left: ${percent(at)}"></span>`).join(""),
  CHAPTER_BUTTONS: shown.chapters.map(({ at, name }) =>
    `<button type="button" data-at="${at}">${name}</button>`).join("\n      "),
};
html = html.replace('<link rel="stylesheet" href="page.css">',
  () => `<style>\n${readFileSync(styles, "utf8")}  </style>`);
html = html.replace(/@([A-Z_]+)@/g, (whole, name) => {
  if (!(name in values)) {
    throw new Error(`${template} names ${whole}, which the first view has no value for`);
  }
  return values[name];
});
writeFileSync(output, html);
