// Writes each recording as a script that files it, gzipped, among the page's recordings: the page
// loads the one chosen when it is chosen, which works even from disk, where a page may fetch no
// file, and the single-file page holds the scripts as they are.
//
//   node recordings.mjs OUTPUT_DIR NAME-SPEED.cast...
import { readFileSync, writeFileSync } from "node:fs";
import { basename } from "node:path";
import { gzipSync } from "node:zlib";

const [outputDir, ...casts] = process.argv.slice(2);
for (const cast of casts) {
  const [, name, speed] = basename(cast).match(/^(.*)-(\d+)\.cast$/);
  // gzip with no name and no time in its header: the same bytes at every build.
  const packed = gzipSync(readFileSync(cast), { level: 9 }).toString("base64");
  const key = JSON.stringify(`${name}-${speed}`);
  writeFileSync(`${outputDir}/${name}-${speed}.js`,
    `(window.qavRecordings ??= new Map()).set(${key}, "${packed}");\n`);
}
