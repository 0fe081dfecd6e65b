// Plays the chosen demo's performance at the chosen console speed on a console of exactly 80
// columns by 25 rows: at every display frame the screen of that frame's moment, timed as a
// console drawing at that speed draws it. The page's HTML already shows the main demo's poster;
// this loads the chosen demo's performance (as a script, which works from disk, where a page may
// fetch nothing) and drives the page's own controls: Play, the time, the track, the chapters,
// the speed, the link to the place shown, and the address, one history entry per choice.
"use strict";

const root = document.documentElement;
const namedSpeeds = root.dataset.speeds.split(" ").map(Number);
const defaultSpeed = Number(root.dataset.defaultSpeed);
const slowest = 300;
const fastest = 1000000;
const model = qavPerformance;
const $ = (id) => document.getElementById(id);
const screen = $("screen");
const term = $("term");
const cursor = $("cursor");
const playButton = $("play");
const seekBar = $("seek");
const speedField = $("speed");
const speedScale = $("speed-scale");
// The slider's 0 to 1000 spread evenly over the logarithm of the speed: each step of it the same
// proportion faster, from the slowest to the fastest.
const onScale = (speed) => Math.round((1000 * Math.log(speed / slowest)) / Math.log(fastest / slowest));
const fromScale = (value) => Math.round(slowest * (fastest / slowest) ** (value / 1000));
const reducedMotion = matchMedia("(prefers-reduced-motion: reduce)");
const messages = [...$("messages").querySelectorAll("dt")].map((dt) => ({
  danish: dt.textContent, english: dt.nextElementSibling.textContent,
}));
const rowElements = Array.from({ length: model.rows }, () => document.createElement("div"));
term.replaceChildren(...rowElements);

// Performances by demo name, as the exporter wrote them: each script of one files it here,
// whether the page carries it (the single-file page) or loads it when it is chosen.
const exported = (window.qavPerformances ??= new Map());
const loaded = new Map();

function loadScript(src) {
  return new Promise((resolve, reject) => {
    const script = document.createElement("script");
    script.src = src;
    script.onload = resolve;
    script.onerror = () => reject(new Error(`cannot load ${src}`));
    document.head.append(script);
  });
}

async function performanceOf(name) {
  if (!loaded.has(name)) {
    if (!exported.has(name)) {
      await loadScript(`performances/${name}.js`);
      if (!exported.has(name)) {
        throw new Error(`performances/${name}.js holds no performance of ${name}`);
      }
    }
    loaded.set(name, model.load(exported.get(name)));
  }
  return loaded.get(name);
}

const grouped = (speed) => speed.toLocaleString("en");
const speedText = (speed) => {
  const name = namedSpeeds.includes(speed) ? `${model.speedName(speed, defaultSpeed)} speed, ` : "";
  return `${name}${grouped(speed)} characters a second`;
};

// "#demo_short", "#demo_short/20000" for another speed than the default, "#demo/60000/123456"
// once 123,456 characters are drawn, and "#demo/60000/0/3000" three seconds into the pause
// that follows them. `null` when the address names nothing the page offers; a place past the
// end is found out once the performance is loaded.
function fromHash(hash) {
  const parts = hash.slice(1).split("/");
  const [name = "demo", speed = String(defaultSpeed), chars, ms] = parts;
  const decimal = (text) => text === undefined || /^\d{1,16}$/.test(text);
  if (parts.length > 4 || !["demo", "demo_short"].includes(name || "demo") ||
    ![speed, chars, ms].every(decimal) || Number(speed) < slowest || Number(speed) > fastest) {
    return null;
  }
  return { name: name || "demo", speed: Number(speed),
    place: chars === undefined ? undefined : { chars: Number(chars), intoNs: Number(ms ?? 0) * 1e6 } };
}

function toHash({ name, speed }, place) {
  if (place) {
    const ms = Math.floor(place.intoNs / 1e6);
    return `#${name}/${speed}/${place.chars}${ms > 0 ? `/${ms}` : ""}`;
  }
  return speed === defaultSpeed ? `#${name}` : `#${name}/${speed}`;
}

// What the console holds: the demo, its performance and chapters, the speed, the place.
let shown = null;
let chosen = { name: "demo", speed: defaultSpeed };
let latest = 0;
let playing = false;
let wantsPlay = window.qavWantsPlay === true; // Play pressed before this script was here
let onPoster = true;
let place = { chars: 0, intoNs: 0 };
let drawnChars = -1;
let anchor = null; // { ts, moment }: the frame playing (re)started at, and its moment
let loop = 0; // which run of frames is the current one: a pause ends the one before
let chapter = null; // the index of the chapter last announced, -1 for before the first

function setPressed() {
  for (const button of document.querySelectorAll("button[data-demo]")) {
    button.setAttribute("aria-pressed", String(button.dataset.demo === chosen.name));
  }
  for (const button of document.querySelectorAll("button[data-speed]")) {
    button.setAttribute("aria-pressed", String(Number(button.dataset.speed) === chosen.speed));
  }
  speedField.value = String(chosen.speed);
  if (onScale(chosen.speed) !== Number(speedScale.value) ||
    fromScale(Number(speedScale.value)) !== chosen.speed) {
    speedScale.value = String(onScale(chosen.speed));
  }
  speedScale.setAttribute("aria-valuetext", `${grouped(chosen.speed)} characters a second`);
}

function draw(chars) {
  const state = model.stateAt(shown.performance, chars);
  rowElements.forEach((element, i) => {
    const text = state.rows[i]?.trimEnd() ?? "";
    if (element.textContent !== text) {
      element.textContent = text;
    }
  });
  // Where the next character goes; at the end of the bottom row, its last cell.
  const pending = state.col === model.cols;
  const row = Math.min(state.rows.length - 1 + (pending ? 1 : 0), model.rows - 1);
  const col = pending ? (row === state.rows.length - 1 ? model.cols - 1 : 0) : state.col;
  cursor.style.setProperty("--row", row);
  cursor.style.setProperty("--col", col);
  drawnChars = chars;
}

const momentNow = () => (onPoster ? 0 : model.momentOf(shown.performance, place, chosen.speed));
const openingPause = () => !onPoster && place.chars === 0 && shown.performance.pauses[0]?.at === 0;

// The time, the track, the link to this place and the caption, from where the console is;
// and, as a chapter begins, its name in the live region.
function update() {
  const moment = momentNow();
  const text = `${model.clock(moment / 1e9)} / ${model.clock(shown.duration / 1e9)}`;
  $("time").textContent = text;
  seekBar.value = String(moment / 1e9);
  seekBar.setAttribute("aria-valuetext", text.replace(" / ", " of "));
  $("track").style.setProperty("--played", `${(100 * moment) / shown.duration}%`);
  $("moment").href = toHash(chosen, onPoster ? { chars: 0, intoNs: 0 } : place);
  $("skip").hidden = !openingPause();
  if (onPoster) {
    return;
  }
  const current = shown.chapters.findLastIndex((c) => c.chars <= place.chars);
  if (current !== chapter) {
    chapter = current;
    $("now").textContent = openingPause()
      ? `The demo's own opening pause: ${shown.performance.pauses[0].ns / 1e9} seconds of an ` +
        "empty console before the counter."
      : current < 0 ? "Before the counter" : shown.chapters[current].announce;
    screen.setAttribute("aria-label", `The console, 80 columns by 25 rows: ${chosen.name}, ${
      current < 0 ? "the opening pause" : shown.chapters[current].name}`);
  }
}

function leavePoster() {
  if (onPoster) {
    onPoster = false;
    $("poster").hidden = true;
    $("poster-note").hidden = true;
    term.hidden = false;
    chapter = null;
  }
}

function setPlace(next) {
  place = next;
  if (place.chars !== drawnChars) {
    draw(place.chars);
  }
  update();
}

// One display frame: the screen of this frame's own moment, whatever the frames before it drew.
function frame(ts, run) {
  if (!playing || run !== loop) {
    return;
  }
  if (!anchor) {
    anchor = { ts, moment: momentNow() };
  }
  const moment = Math.min(anchor.moment + Math.round((ts - anchor.ts) * 1e6), shown.duration);
  setPlace(model.placeAt(shown.performance, moment, chosen.speed));
  window.qavFrameLog?.push({ ts, moment, chars: place.chars });
  if (moment >= shown.duration) {
    setPlaying(false);
  } else {
    requestAnimationFrame((next) => frame(next, run));
  }
}

function setPlaying(value) {
  playing = value;
  anchor = null;
  playButton.textContent = value ? "Pause" : "Play";
  screen.classList.toggle("playing", value);
  const run = ++loop;
  if (value) {
    requestAnimationFrame((ts) => frame(ts, run));
  }
}

function togglePlay() {
  if (!shown) {
    wantsPlay = !wantsPlay;
    playButton.textContent = wantsPlay ? "Loading…" : "Play";
    $("now").textContent = wantsPlay ? `Loading ${chosen.name}; it plays once it is here.` : "";
    return;
  }
  if (playing) {
    setPlaying(false);
    return;
  }
  if (onPoster || momentNow() >= shown.duration) {
    leavePoster();
    setPlace({ chars: 0, intoNs: 0 });
  }
  setPlaying(true);
}

// Goes to a place, playing on if playing.
function goTo(next) {
  leavePoster();
  anchor = null;
  setPlace(next);
}

const seekTo = (moment) => goTo(model.placeAt(shown.performance,
  Math.max(0, Math.min(moment, shown.duration)), chosen.speed));

// The moment the poster shows, at the speed chosen.
const noteThePoster = () => {
  $("poster-note").textContent = `at ${model.clock(
    model.drawnAt(shown.performance, shown.posterChars, chosen.speed) / 1e9, true)}; Play starts at 0:00`;
};

function showPoster() {
  onPoster = true;
  noteThePoster();
  $("poster-note").hidden = false;
  // The poster in the HTML is the same picture, drawn before any script: the console takes over.
  $("poster").hidden = true;
  term.hidden = false;
  draw(shown.posterChars);
  $("now").textContent = `Before play: ${shown.chapters.map((c) => c.name).join(", ")}.`;
  screen.setAttribute("aria-label", `The console, 80 columns by 25 rows: before play, ${
    chosen.name}'s chain of boxes mid-travel`);
  update();
}

// The new speed keeps the place: the same characters drawn, and the same time into a pause.
function setSpeed(speed) {
  chosen.speed = speed;
  setPressed();
  $("shown").textContent = `${chosen.name}, drawn at ${speedText(speed)}`;
  if (!shown) {
    return;
  }
  shown.duration = model.duration(shown.performance, speed);
  anchor = null;
  seekBar.max = String(shown.duration / 1e9);
  if (onPoster) {
    noteThePoster();
  }
  $("markers").replaceChildren(...shown.chapters.map((c) => Object.assign(
    document.createElement("span"), { style: `left: ${(100 * model.drawnAt(shown.performance,
      c.chars, speed)) / shown.duration}%` })));
  update();
}

// Shows a choice: at once the console says the performance is loading; then its poster, or the
// place asked for, paused; or, with `play` set, the performance playing from its beginning.
async function show(choice, play) {
  const ticket = ++latest;
  const sameDemo = shown?.name === choice.name;
  chosen = { name: choice.name, speed: choice.speed };
  setPlaying(false);
  if (!sameDemo) {
    shown = null;
    $("loading").hidden = false;
    $("loading").textContent = `Loading ${choice.name}…`;
  }
  if ($("cast")) {
    $("cast").href = `${choice.name}.cast`;
    $("cast").textContent = `the recording, ${choice.name}.cast`;
  }
  const performance_ = await performanceOf(choice.name);
  if (ticket !== latest) {
    return;
  }
  $("loading").hidden = true;
  if (!sameDemo) {
    const chapters = model.chapters(performance_, messages);
    shown = { name: choice.name, performance: performance_, chapters,
      posterChars: model.posterChars(performance_, chapters) };
    drawnChars = -1;
    for (const button of $("chapters").children) {
      const found = chapters.find((c) => c.name === button.textContent);
      button.hidden = !found;
      button.dataset.chars = String(found?.chars ?? 0);
    }
  }
  setSpeed(choice.speed);
  const valid = choice.place && choice.place.chars <= performance_.total &&
    (choice.place.intoNs === 0 || choice.place.intoNs <=
      (performance_.pauses.find(({ at }) => at === choice.place.chars)?.ns ?? 0));
  if (valid) {
    goTo(choice.place);
  } else {
    if (choice.place) {
      history.replaceState(null, "", toHash(chosen));
    }
    if (!sameDemo || !onPoster) {
      showPoster();
    }
    if (play && !reducedMotion.matches) {
      togglePlay();
    }
  }
  if (wantsPlay) {
    wantsPlay = false;
    if (!playing) {
      togglePlay();
    }
  }
}

function choose(choice, play) {
  window.qavReady = show(choice, play).catch((error) => {
    $("loading").hidden = false;
    $("loading").textContent = `The demo cannot be shown: ${error.message}`;
    throw error;
  });
}

// A choice is a history entry of its own, so that Back returns to the one before.
function chooseAnew(name) {
  const choice = { name, speed: chosen.speed };
  const hash = toHash(choice);
  if (location.hash !== hash) {
    history.pushState(null, "", hash);
  }
  choose(choice, true);
}

function chooseSpeed(speed) {
  if (speed === chosen.speed) {
    return;
  }
  history.pushState(null, "", toHash({ name: chosen.name, speed }));
  setSpeed(speed);
}

for (const button of document.querySelectorAll("button[data-demo]")) {
  button.addEventListener("click", () => chooseAnew(button.dataset.demo));
}
for (const button of document.querySelectorAll("button[data-speed]")) {
  button.addEventListener("click", () => chooseSpeed(Number(button.dataset.speed)));
}
speedField.addEventListener("change", () => {
  const speed = Math.round(Number(speedField.value));
  if (Number.isFinite(speed) && speed >= slowest && speed <= fastest) {
    chooseSpeed(speed);
  } else {
    speedField.value = String(chosen.speed);
  }
});
// Dragged, the slider changes the speed as it goes, with one history entry for the whole drag.
let dragging = false;
speedScale.addEventListener("input", () => {
  const speed = fromScale(Number(speedScale.value));
  history[dragging ? "replaceState" : "pushState"](null, "", toHash({ name: chosen.name, speed }));
  dragging = true;
  setSpeed(speed);
});
speedScale.addEventListener("change", () => { dragging = false; });
for (const button of $("chapters").children) {
  button.addEventListener("click", () => shown &&
    goTo({ chars: Number(button.dataset.chars), intoNs: 0 }));
}
$("skip").addEventListener("click", () => {
  const counter = shown?.chapters.find((c) => c.name === "Counter");
  if (counter) {
    goTo({ chars: counter.chars, intoNs: 0 });
  }
});
playButton.addEventListener("click", togglePlay);
screen.addEventListener("click", togglePlay);
seekBar.addEventListener("input", () => shown && seekTo(Number(seekBar.value) * 1e9));
screen.addEventListener("keydown", (event) => {
  const step = { ArrowLeft: -5e9, ArrowRight: 5e9 }[event.key];
  if (event.key === " " || event.key === "k") {
    togglePlay();
  } else if (step !== undefined && shown) {
    seekTo(momentNow() + step);
  } else {
    return;
  }
  event.preventDefault();
});

// Back and Forward, an edited address, and a followed link to a place.
function followAddress() {
  const choice = fromHash(location.hash);
  if (!choice) {
    history.replaceState(null, "", toHash({ name: "demo", speed: defaultSpeed }));
    followAddress();
    return;
  }
  if (choice.name !== chosen.name || !shown || choice.place) {
    choose(choice, false);
  } else if (choice.speed !== chosen.speed) {
    setSpeed(choice.speed);
  }
}
addEventListener("popstate", followAddress);
addEventListener("hashchange", followAddress);

// For the page's tests: the place at a moment, shown paused.
window.qavShowMoment = (moment) => {
  setPlaying(false);
  seekTo(moment);
  return place;
};

const first = fromHash(location.hash);
if (!first) {
  history.replaceState(null, "", toHash({ name: "demo", speed: defaultSpeed }));
}
setPressed();
choose(first ?? { name: "demo", speed: defaultSpeed }, false);
