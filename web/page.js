// Plays the chosen demo's recording at the chosen console speed on a terminal of exactly 80
// columns by 25 rows: the demos' picture is made by an 80-column console's wrap, and any other
// width would make another one. Each recording is loaded only when it is chosen, as a script
// (which works from disk, where a page may fetch nothing) that holds it gzipped.
"use strict";

const root = document.documentElement;
const speeds = root.dataset.speeds.split(" ").map(Number);
const defaultSpeed = Number(root.dataset.defaultSpeed);
const container = document.getElementById("player");

// Recordings by "NAME-SPEED", gzipped: each script of one files it here, whether the page
// carries it (the single-file page) or loads it when it is chosen.
const recordings = (window.qavRecordings ??= new Map());

function packedRecording(name, speed) {
  const key = `${name}-${speed}`;
  if (recordings.has(key)) {
    return Promise.resolve(recordings.get(key));
  }
  return new Promise((resolve, reject) => {
    const script = document.createElement("script");
    script.src = `recordings/${key}.js`;
    script.onload = () => recordings.has(key) ? resolve(recordings.get(key))
      : reject(new Error(`${script.src} holds no recording of ${key}`));
    script.onerror = () => reject(new Error(`cannot load ${script.src}`));
    document.head.append(script);
  });
}

async function unpack(packed) {
  const bytes = Uint8Array.from(atob(packed), (c) => c.charCodeAt(0));
  const text = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"));
  return new Response(text).text();
}

// Where the chapters begin, from the recording's own events: the counter, the messages, the
// boxes and (in the main demo) the banner; and the picture shown before play, the chain of
// boxes mid-travel.
function chapters(cast) {
  const events = cast.trimEnd().split("\n").slice(1).map((line) => JSON.parse(line));
  const at = (text) => events.find(([, , data]) => data.includes(text))?.[0];
  const end = events[events.length - 1][0];
  const boxes = at("#######");
  const banner = at("QAV FOREVER");
  const markers = [[events[0][0], "Counter"], [at("Dette er min"), "Messages"], [boxes, "Boxes"]];
  if (banner !== undefined) {
    markers.push([banner, "Banner"]);
  }
  return { markers, poster: ((boxes + (banner ?? end)) / 2).toFixed(3) };
}

function label(speed) {
  const name = speed < defaultSpeed ? "slow" : speed > defaultSpeed ? "fast" : "console";
  return `${name}, ${speed.toLocaleString("en")} a second`;
}

const speedButtons = document.getElementById("speeds");
for (const speed of speeds) {
  const button = document.createElement("button");
  button.type = "button";
  button.dataset.speed = speed;
  button.textContent = label(speed);
  speedButtons.append(button);
}

let player;
let chosen = { name: "demo", speed: defaultSpeed };
let latest = 0;

// Shows a recording: the poster first, and with `play` set, focus on the player as it plays.
async function show(name, speed, play) {
  const ticket = ++latest;
  chosen = { name, speed };
  for (const button of document.querySelectorAll("button[data-demo]")) {
    button.setAttribute("aria-pressed", String(button.dataset.demo === name));
  }
  for (const button of document.querySelectorAll("button[data-speed]")) {
    button.setAttribute("aria-pressed", String(Number(button.dataset.speed) === speed));
  }
  const hash = speed === defaultSpeed ? `#${name}` : `#${name}/${speed}`;
  if (location.hash !== hash) {
    history.replaceState(null, "", hash);
  }
  const shown = document.getElementById("shown");
  shown.textContent = "Loading the recording\u2026";
  const [cast] = await Promise.all([
    packedRecording(name, speed).then(unpack),
    document.fonts.load("16px 'Px IBM VGA9'"),
  ]);
  if (ticket !== latest) {
    return;
  }
  const { markers, poster } = chapters(cast);
  player?.dispose();
  player = AsciinemaPlayer.create({ data: cast }, container, {
    cols: 80,
    rows: 25,
    fit: "width",
    controls: true,
    preload: true,
    poster: `npt:${poster}`,
    markers,
    theme: "vga",
    terminalFontFamily: "'Px IBM VGA9', monospace",
    terminalLineHeight: 1,
  });
  window.player = player;
  shown.textContent = `${name}, drawn at ${label(speed)} on an 80-column console`;
  if (play) {
    // The console whole in view again, should the choice have been made below it.
    container.scrollIntoView({ block: "nearest" });
    container.querySelector(".ap-wrapper")?.focus({ preventScroll: true });
    await player.play();
  }
}

// "#demo_short", or "#demo_short/20000" for another speed than the default.
function fromHash() {
  const [name, speed] = location.hash.slice(1).split("/");
  return {
    name: name === "demo_short" ? "demo_short" : "demo",
    speed: speeds.includes(Number(speed)) ? Number(speed) : defaultSpeed,
  };
}

function choose(name, speed, play) {
  window.qavReady = show(name, speed, play).catch((error) => {
    document.getElementById("shown").textContent = `The recording cannot be shown: ${error.message}`;
    throw error;
  });
}

for (const button of document.querySelectorAll("button[data-demo]")) {
  button.addEventListener("click", () => choose(button.dataset.demo, chosen.speed, true));
}
for (const button of speedButtons.children) {
  button.addEventListener("click", () => choose(chosen.name, Number(button.dataset.speed), true));
}
addEventListener("hashchange", () => {
  const { name, speed } = fromHash();
  if (name !== chosen.name || speed !== chosen.speed) {
    choose(name, speed, false);
  }
});
const first = fromHash();
choose(first.name, first.speed, false);
