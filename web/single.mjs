// Makes the page into one self-contained file: its styles, the player, the font and the
// recordings at the default speed inside it, and the licences of the player and the font at its
// end. It plays from anywhere, with no network and no other file, and is the same at every build.
// The downloads stay beside the full page: this file says where they are.
//
//   node single.mjs PAGE_DIR OUTPUT.html LICENCE_FILE...
import { existsSync, readFileSync, writeFileSync } from "node:fs";

const [pageDir, output, ...licences] = process.argv.slice(2);
const read = (file) => readFileSync(`${pageDir}/${file}`, "utf8");
const escapeHtml = (text) =>
  text.replaceAll("&", "&amp;").replaceAll("<", "&lt;").replaceAll(">", "&gt;");
// A script's text may hold no "</script", which would end it early.
const inlineScript = (text) => `<script>${text.replaceAll("</script", "<\\/script")}</script>`;

let html = read("index.html");
const defaultSpeed = html.match(/data-default-speed="(\d+)"/)[1];
html = html.replace(/data-speeds="[^"]*"/, `data-speeds="${defaultSpeed}"`);
html = html.replace(/\s*<button type="button" data-speed="(\d+)"[^>]*>[^<]*<\/button>/g,
  (button, speed) => (speed === defaultSpeed ? button : ""));
html = html.replace(/<link rel="stylesheet" href="([^"]+)">/g, (_, file) => `<style>${read(file)}</style>`);
const downloads = ["the recordings, as .cast files for asciinema"];
if (existsSync(`${pageDir}/demo.mp4`)) {
  downloads.push("the main demo as a video, demo.mp4");
}
html = html.replace(/<p id="downloads">[^]*?<\/p>/, () => `<p id="downloads">This file is the page alone.
      Beside the full page (web/index.html in the build folder, and
      /usr/share/qav-demos/web/ where the package is installed) are ${downloads.join(" and ")}.</p>`);
html = html.replace(/\s*<!-- The player, fetched[^>]*>\s*<link rel="preload"[^>]*>/, "");
// The player and the recordings' own scripts, as they are, before the page's: it finds them.
const recordings = ["demo", "demo_short"].map((name) => read(`recordings/${name}-${defaultSpeed}.js`));
html = html.replace(/<script src="recording.js" defer><\/script>/, () =>
  [read("asciinema-player.min.js"), recordings.join(""), read("recording.js")].map(inlineScript)
    .join("\n  "));
html = html.replace(/<script src="page.js" defer><\/script>/, () => inlineScript(read("page.js")));
const texts = licences.map((file) => `<pre>${escapeHtml(readFileSync(file, "utf8"))}</pre>`);
html = html.replace("</article>", () => `  <details>
      <summary>Licences</summary>
      ${texts.join("\n      ")}
    </details>
  </article>`);
writeFileSync(output, html);
