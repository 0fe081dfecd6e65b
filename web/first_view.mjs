// Writes the page's first view into its HTML, so that it is there before any script runs: the
// main demo's poster (its 25 rows, as runs of glyphs placed by row and column, once the chain of
// boxes is half-way from the first box to the banner, and which moment that is at the console's
// speed), its length, its chapters as markers and buttons, and a button for each named speed;
// and the page's styles, so that the poster waits for no other file than the font's. All of it
// comes from the main demo's exported performance, as the page plays it.
//
//   node first_view.mjs TEMPLATE STYLES OUTPUT PERFORMANCE.json "SPEED..." DEFAULT_SPEED
//        FONT(yes|no) VIDEO(yes|no)
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";

const model = createRequire(import.meta.url)("./performance.js");
const [template, styles, output, exported, speedList, defaultText, font, video] = process.argv.slice(2);
const speeds = speedList.split(" ").map(Number);
const defaultSpeed = Number(defaultText);
let html = readFileSync(template, "utf8");
const performance = model.load(JSON.parse(readFileSync(exported, "utf8")));
const { clock, speedName } = model;

const messages = [...html.matchAll(/<dt lang="da">([^<]*)<\/dt>\s*<dd>([^<]*)<\/dd>/g)].map(
  ([, danish, english]) => ({ danish, english }));
const chapters = model.chapters(performance, messages);
const at = (chars) => model.drawnAt(performance, chars, defaultSpeed) / 1e9;
const posterChars = model.posterChars(performance, chapters);
const posterAt = at(posterChars);
const duration = model.duration(performance, defaultSpeed) / 1e9;
const percent = (seconds) => `${((100 * seconds) / duration).toFixed(3)}%`;
// The visible runs of the poster's rows: the poster holds only the glyphs, not the spaces.
const runs = model.stateAt(performance, posterChars).rows.flatMap((line, row) =>
  [...line.matchAll(/\S+/g)].map((match) => ({ row, col: match.index, text: match[0] })));
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
  POSTER: runs.map(({ row, col, text }) =>
    `<span style="--row: ${row}; --col: ${col}">${text}</span>`).join(""),
  POSTER_NOTE: `at ${clock(posterAt, true)}; Play starts at 0:00`,
  POSTER_DESCRIPTION: `before play, the main demo's chain of boxes mid-travel, as at ` +
    `${clock(posterAt, true)}`,
  DURATION: clock(duration),
  SECONDS: duration.toFixed(3),
  MARKERS: chapters.map(({ chars }) => `<span style="left: ${percent(at(chars))}"></span>`).join(""),
  CHAPTER_BUTTONS: chapters.map(({ chars, name }) =>
    `<button type="button" data-chars="${chars}">${name}</button>`).join("\n      "),
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
