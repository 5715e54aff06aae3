// Converts subtitle files with the subsrt-ts package, all in one Node process.
//
//   node subsrt_convert.mjs MODULE_DIR FROM TO PATH...
//
// FROM and TO are subsrt-ts format names (srt, sub, ass). A PATH that is a
// folder stands for its files ending in ".FROM". Each output goes beside its
// input under ".TO". Text is read and written as Latin-1, lines end in CR LF,
// and MicroDVD input is read at 25 frames a second.
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";

const [moduleDir, from, to, ...paths] = process.argv.slice(2);
const entry = path.join(moduleDir, "node_modules", "subsrt-ts", "dist", "subsrt.js");
const { default: subsrt } = await import(pathToFileURL(entry).href);

const inputs = [];
for (const p of paths) {
  if (fs.statSync(p).isDirectory()) {
    for (const name of fs.readdirSync(p).sort()) {
      if (name.endsWith("." + from)) inputs.push(path.join(p, name));
    }
  } else {
    inputs.push(p);
  }
}

let failed = 0;
for (const input of inputs) {
  try {
    const text = fs.readFileSync(input, "latin1");
    const captions = subsrt.parse(text, { format: from, fps: 25 });
    const out = subsrt.build(captions, { format: to, eol: "\r\n", fps: 25 });
    fs.writeFileSync(input.slice(0, -from.length) + to, out, "latin1");
  } catch (e) {
    console.error(`${input}: ${e.message}`);
    failed++;
  }
}
process.exit(failed ? 1 : 0);
