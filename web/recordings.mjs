// Writes the recordings as a script that defines them, so that the page can play them when it
// is opened straight from disk, where a browser fetches no files.
//
//   node recordings.mjs OUTPUT.js NAME=FILE.cast...
import { readFileSync, writeFileSync } from "node:fs";

const [output, ...recordings] = process.argv.slice(2);
const entries = recordings.map((pair) => {
  const [name, file] = pair.split("=");
  return `  ${JSON.stringify(name)}: ${JSON.stringify(readFileSync(file, "utf8"))},`;
});
writeFileSync(output, `"use strict";\nconst recordings = {\n${entries.join("\n")}\n};\n`);
