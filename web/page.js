// Plays the chosen demo's recording on a terminal of exactly 80 columns by 25 rows: the demos'
// picture is made by an 80-column console's wrap, and any other width would make another one.
"use strict";

const about = {
  demo:
    "The main demo: after eight seconds of nothing, a counter to 4,999, three Danish messages, " +
    "then a chain of boxes drawn only with lines of fixed widths. An 80-column console's wrap " +
    "turns each width into sideways movement, so the chain travels down and across the " +
    "scrolling screen to a closing banner.",
  demo_short:
    "The short demo: a counter to 199,999, the same three messages, and two boxes.",
};

let player;

function show(name) {
  if (player) {
    player.dispose();
  }
  player = AsciinemaPlayer.create({ data: recordings[name] }, document.getElementById("player"), {
    cols: 80,
    rows: 25,
    fit: "both",
    controls: true,
    preload: true,
  });
  window.player = player;
  for (const button of document.querySelectorAll("button[data-demo]")) {
    button.setAttribute("aria-pressed", String(button.dataset.demo === name));
  }
  // The recording's own title says how fast it is drawn.
  const header = JSON.parse(recordings[name].slice(0, recordings[name].indexOf("\n")));
  document.getElementById("about").textContent = `${about[name]} Shown: ${header.title}.`;
  history.replaceState(null, "", "#" + name);
}

for (const button of document.querySelectorAll("button[data-demo]")) {
  button.addEventListener("click", () => show(button.dataset.demo));
}
show(location.hash === "#demo_short" ? "demo_short" : "demo");
