// Makes the page into one self-contained file: its styles, its scripts, the font and both demos'
// performances inside it, and the font's licence at its end. It plays both demos at every speed
// from anywhere, with no network and no other file, and is the same at every build. The
// downloads stay beside the full page: this file says where they are.
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
html = html.replace(/<link rel="stylesheet" href="([^"]+)">/g, (_, file) => `<style>${read(file)}</style>`);
const downloads = ["the recordings, as .cast files for asciinema"];
if (existsSync(`${pageDir}/demo.mp4`)) {
  downloads.push("the main demo as a video, demo.mp4");
}
html = html.replace(/<p id="downloads">[^]*?<\/p>/, () => `<p id="downloads">This file is the page alone.
      Beside the full page (web/index.html in the build folder, and
      /usr/share/qav-demos/web/ where the package is installed) are ${downloads.join(" and ")}.</p>`);
// The model and both performances, as they are, before the page's script: it finds them.
html = html.replace(/<script src="performance.js" defer><\/script>\s*<script src="performances\/demo.js" defer><\/script>/,
  () => [read("performance.js"), read("performances/demo.js") + read("performances/demo_short.js")]
    .map(inlineScript).join("\n  "));
html = html.replace(/<script src="page.js" defer><\/script>/, () => inlineScript(read("page.js")));
const texts = licences.map((file) => `<pre>${escapeHtml(readFileSync(file, "utf8"))}</pre>`);
if (texts.length > 0) {
  html = html.replace("</article>", () => `  <details>
      <summary>Licences</summary>
      ${texts.join("\n      ")}
    </details>
  </article>`);
}
writeFileSync(output, html);
