// Makes the page into one self-contained file: its styles, the player, the font and the
// recordings at the default speed inside it, and the licences of the player and the font at its
// end. It plays from anywhere, with no network and no other file, and is the same at every build.
//
//   node single.mjs PAGE_DIR OUTPUT.html LICENCE_FILE...
import { readFileSync, writeFileSync } from "node:fs";

const [pageDir, output, ...licences] = process.argv.slice(2);
const read = (file) => readFileSync(`${pageDir}/${file}`, "utf8");
const escapeHtml = (text) =>
  text.replaceAll("&", "&amp;").replaceAll("<", "&lt;").replaceAll(">", "&gt;");
// A script's text may hold no "</script", which would end it early.
const inlineScript = (text) => `<script>${text.replaceAll("</script", "<\\/script")}</script>`;

let html = read("index.html");
const defaultSpeed = html.match(/data-default-speed="(\d+)"/)[1];
html = html.replace(/data-speeds="[^"]*"/, `data-speeds="${defaultSpeed}"`);
html = html.replace(/<link rel="stylesheet" href="([^"]+)">/g, (_, file) => {
  let css = read(file);
  css = css.replace(/url\("([^"]+\.ttf)"\)/g, (__, font) =>
    `url("data:font/ttf;base64,${readFileSync(`${pageDir}/${font}`).toString("base64")}")`);
  return `<style>${css}</style>`;
});
// The recordings' own scripts, as they are, before the page's: it finds them filed.
const recordings = ["demo", "demo_short"].map((name) => read(`recordings/${name}-${defaultSpeed}.js`));
html = html.replace(/<script src="([^"]+)"><\/script>/g, (_, file) =>
  (file === "page.js" ? inlineScript(recordings.join("")) + "\n  " : "") +
  inlineScript(read(file)));
const texts = licences.map((file) => `<pre>${escapeHtml(readFileSync(file, "utf8"))}</pre>`);
html = html.replace("</article>", () => `  <details>
      <summary>Licences</summary>
      ${texts.join("\n      ")}
    </details>
  </article>`);
writeFileSync(output, html);
