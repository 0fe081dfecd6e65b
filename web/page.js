// Plays the chosen demo's recording at the chosen console speed on a terminal of exactly 80
// columns by 25 rows: the demos' picture is made by an 80-column console's wrap, and any other
// width would make another one. The page's HTML already shows the main demo's poster; this
// loads the player and the chosen recording (as a script, which works from disk, where a page
// may fetch nothing), and drives the page's own controls: Play, the time, the track, the
// chapters, the link to the moment shown, and the address, one history entry per choice.
"use strict";

const root = document.documentElement;
const speeds = root.dataset.speeds.split(" ").map(Number);
const defaultSpeed = Number(root.dataset.defaultSpeed);
const $ = (id) => document.getElementById(id);
const screen = $("screen");
const term = $("term");
const playButton = $("play");
const seekBar = $("seek");
const reducedMotion = matchMedia("(prefers-reduced-motion: reduce)");
const messages = [...$("messages").querySelectorAll("dt")].map((dt) => ({
  danish: dt.textContent, english: dt.nextElementSibling.textContent,
}));

// Recordings by "NAME-SPEED", gzipped: each script of one files it here, whether the page
// carries it (the single-file page) or loads it when it is chosen.
const recordings = (window.qavRecordings ??= new Map());

function loadScript(src) {
  return new Promise((resolve, reject) => {
    const script = document.createElement("script");
    script.src = src;
    script.onload = resolve;
    script.onerror = () => reject(new Error(`cannot load ${src}`));
    document.head.append(script);
  });
}

// The player, unless the page carries it, once the poster is painted, so that it takes none of
// the link from what the poster needs. Its terminal is styled by the page alone.
const playerLoaded = window.AsciinemaPlayer ? Promise.resolve() : document.fonts.ready
  .then(() => new Promise((painted) => requestAnimationFrame(() => setTimeout(painted))))
  .then(() => loadScript("asciinema-player.min.js"));

async function recording(name, speed) {
  const key = `${name}-${speed}`;
  if (!recordings.has(key)) {
    await loadScript(`recordings/${key}.js`);
    if (!recordings.has(key)) {
      throw new Error(`recordings/${key}.js holds no recording of ${key}`);
    }
  }
  const bytes = Uint8Array.from(atob(recordings.get(key)), (c) => c.charCodeAt(0));
  const text = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"));
  return new Response(text).text();
}

const speedText = (speed) => `${qavRecording.speedName(speed, defaultSpeed)} speed, ${
  speed.toLocaleString("en")} characters a second`;

// "#demo_short", "#demo_short/20000" for another speed than the default, and
// "#demo/60000/25.5" for a moment of it; `null` when the address names nothing the page offers.
function fromHash(hash) {
  const [name = "demo", speed, at] = hash.slice(1).split("/");
  const choice = { name: name || "demo", speed: speed === undefined ? defaultSpeed : Number(speed),
    at: at === undefined ? undefined : Number(at) };
  const known = ["demo", "demo_short"].includes(choice.name) && speeds.includes(choice.speed) &&
    (at === undefined || (Number.isFinite(choice.at) && choice.at >= 0));
  return known ? choice : null;
}

function toHash({ name, speed }, at) {
  if (at !== undefined) {
    return `#${name}/${speed}/${Number(at.toFixed(1))}`;
  }
  return speed === defaultSpeed ? `#${name}` : `#${name}/${speed}`;
}

let player = null;
let shown = null; // { name, speed, chapters, duration, posterAt } of what the console holds
let chosen = { name: "demo", speed: defaultSpeed };
let latest = 0;
let playing = false;
let chapter = null; // the index of the chapter last announced, -1 for the opening pause

function setPressed() {
  for (const button of document.querySelectorAll("button[data-demo]")) {
    button.setAttribute("aria-pressed", String(button.dataset.demo === chosen.name));
  }
  for (const button of document.querySelectorAll("button[data-speed]")) {
    button.setAttribute("aria-pressed", String(Number(button.dataset.speed) === chosen.speed));
  }
}

function now() {
  return player && !$("poster").hidden ? 0 : player?.getCurrentTime() ?? 0;
}

// The time, the track and the link to this moment, from where the recording is; and, as a
// chapter begins, its name in the live region.
function update() {
  if (!shown) {
    return;
  }
  const at = now();
  const text = `${qavRecording.clock(at)} / ${qavRecording.clock(shown.duration)}`;
  $("time").textContent = text;
  seekBar.value = String(at);
  seekBar.setAttribute("aria-valuetext", text.replace(" / ", " of "));
  $("track").style.setProperty("--played", `${(100 * at) / shown.duration}%`);
  $("moment").href = toHash(chosen, at);
  const current = shown.chapters.findLastIndex((c) => c.at <= at + 0.001);
  if (current !== chapter && $("poster").hidden) {
    chapter = current;
    $("now").textContent = current < 0 ? "The opening pause" : shown.chapters[current].announce;
    screen.setAttribute("aria-label", `The console, 80 columns by 25 rows: ${chosen.name}, ${
      current < 0 ? "the opening pause" : shown.chapters[current].name}`);
  }
}
setInterval(() => playing && update(), 100);

function leavePoster() {
  $("poster").hidden = true;
  $("poster-note").hidden = true;
}

function setPlaying(value) {
  playing = value;
  playButton.textContent = value ? "Pause" : "Play";
  update();
}

async function seek(at) {
  if (!player) {
    return;
  }
  leavePoster();
  await player.seek(Math.max(0, Math.min(at, shown.duration)));
  update();
}

async function togglePlay() {
  if (!player) {
    return;
  }
  if (playing) {
    await player.pause();
  } else {
    leavePoster();
    await player.play();
  }
}

// Shows a choice: at once the console says the recording is loading; then its poster, or the
// moment asked for, paused; or, with `play` set, the recording playing from its beginning.
async function show(choice, play) {
  const ticket = ++latest;
  chosen = { name: choice.name, speed: choice.speed };
  setPressed();
  const isFirstView = !shown && choice.name === "demo" && choice.speed === defaultSpeed;
  if (!isFirstView) {
    player?.dispose();
    player = null;
    shown = null;
    term.replaceChildren();
    $("poster").hidden = true;
    $("poster-note").hidden = true;
    $("loading").hidden = false;
    $("loading").textContent = `Loading ${choice.name}, ${speedText(choice.speed)}…`;
    $("now").textContent = `Loading the recording of ${choice.name}…`;
  }
  $("shown").textContent = `${choice.name}, drawn at ${speedText(choice.speed)}`;
  // The single file offers no downloads.
  if ($("cast")) {
    $("cast").href = `${choice.name}.cast`;
    $("cast").textContent = `the recording, ${choice.name}.cast`;
  }
  const [cast] = await Promise.all([recording(choice.name, choice.speed), playerLoaded,
    document.fonts.load("16px 'Px IBM VGA9'")]);
  if (ticket !== latest) {
    return;
  }
  const events = cast.trimEnd().split("\n");
  const next = { ...qavRecording.chapters(cast, messages),
    duration: JSON.parse(events[events.length - 1])[0] };
  player = AsciinemaPlayer.create({ data: cast }, term, {
    cols: 80, rows: 25, fit: false, controls: false, preload: true, theme: "vga",
    terminalFontFamily: "'Px IBM VGA9', monospace", terminalFontSize: "calc(16 * var(--px))",
    terminalLineHeight: 1,
  });
  window.player = player;
  player.addEventListener("play", () => setPlaying(true));
  player.addEventListener("playing", () => setPlaying(true));
  player.addEventListener("pause", () => setPlaying(false));
  player.addEventListener("ended", () => setPlaying(false));
  // The console itself takes the keys: the player's text is not to be tabbed to.
  for (const focusable of term.querySelectorAll("[tabindex]")) {
    focusable.tabIndex = -1;
  }
  if (!isFirstView) {
    $("poster").replaceChildren(...qavRecording.runs(qavRecording.screenAt(cast, next.posterAt))
      .map(({ row, col, text }) => Object.assign(document.createElement("span"),
        { textContent: text, style: `--row: ${row}; --col: ${col}` })));
    $("poster-note").textContent =
      `at ${qavRecording.clock(next.posterAt, true)}; Play starts at 0:00`;
    $("poster").hidden = false;
    $("poster-note").hidden = false;
    screen.setAttribute("aria-label", `The console, 80 columns by 25 rows: before play, ${
      choice.name}'s chain of boxes, as at ${qavRecording.clock(next.posterAt, true)}`);
    $("now").textContent = `Before play: ${next.chapters.map((c) => c.name).join(", ")}.`;
  }
  $("loading").hidden = true;
  shown = { ...next, name: choice.name, speed: choice.speed };
  chapter = null;
  seekBar.max = String(shown.duration);
  for (const button of $("chapters").children) {
    const found = shown.chapters.find((c) => c.name === button.textContent);
    button.style.visibility = found ? "" : "hidden";
    button.dataset.at = String(found?.at ?? 0);
  }
  $("markers").replaceChildren(...shown.chapters.map(({ at }) => Object.assign(
    document.createElement("span"), { style: `left: ${(100 * at) / shown.duration}%` })));
  setPlaying(false);
  if (choice.at !== undefined) {
    await seek(choice.at);
  } else if (play && !reducedMotion.matches) {
    screen.focus({ preventScroll: true });
    await togglePlay();
  } else if (play) {
    playButton.focus({ preventScroll: true });
  }
  if (wantsPlay) {
    wantsPlay = false;
    await togglePlay();
  }
}

let wantsPlay = false;

function choose(choice, play) {
  window.qavReady = show(choice, play).catch((error) => {
    $("loading").hidden = false;
    $("loading").textContent = `The recording cannot be shown: ${error.message}`;
    throw error;
  });
}

// A choice is a history entry of its own, so that Back returns to the one before.
function chooseAnew(name, speed) {
  const choice = { name, speed };
  const hash = toHash(choice);
  if (location.hash !== hash) {
    history.pushState(null, "", hash);
  }
  choose(choice, true);
}

for (const button of document.querySelectorAll("button[data-demo]")) {
  button.addEventListener("click", () => chooseAnew(button.dataset.demo, chosen.speed));
}
for (const button of document.querySelectorAll("button[data-speed]")) {
  button.addEventListener("click", () => chooseAnew(chosen.name, Number(button.dataset.speed)));
}
for (const button of $("chapters").children) {
  button.addEventListener("click", () => seek(Number(button.dataset.at)));
}
playButton.addEventListener("click", () => {
  if (player) {
    togglePlay();
  } else {
    wantsPlay = true;
  }
});
seekBar.addEventListener("input", () => seek(Number(seekBar.value)));
screen.addEventListener("keydown", (event) => {
  const step = { ArrowLeft: -5, ArrowRight: 5 }[event.key];
  if (event.key === " " || event.key === "k") {
    togglePlay();
  } else if (step !== undefined) {
    seek(now() + step);
  } else {
    return;
  }
  event.preventDefault();
});

// Back and Forward, an edited address, and a followed link to a moment.
function followAddress() {
  const choice = fromHash(location.hash);
  if (!choice) {
    history.replaceState(null, "", toHash({ name: "demo", speed: defaultSpeed }));
    followAddress();
    return;
  }
  if (choice.name !== chosen.name || choice.speed !== chosen.speed) {
    choose(choice, false);
  } else if (choice.at !== undefined && player) {
    player.pause().then(() => seek(choice.at));
  }
}
addEventListener("popstate", followAddress);
addEventListener("hashchange", followAddress);

const first = fromHash(location.hash);
if (!first) {
  history.replaceState(null, "", toHash({ name: "demo", speed: defaultSpeed }));
}
choose(first ?? { name: "demo", speed: defaultSpeed }, false);
