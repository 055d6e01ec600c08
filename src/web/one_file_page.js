// Writes the page as one file that opens from the disk: the style, the
// scripts, the module and its pictures written into index.html, the two
// binaries as base64 that the page hands to the module itself (a browser
// fetches nothing for a page opened from the disk).
//
//   node one_file_page.js SITE_FOLDER OUTPUT.html
"use strict";

const fs = require("node:fs");
const path = require("node:path");

const [site, output] = process.argv.slice(2);
if (!site || !output) {
  console.error("usage: node one_file_page.js SITE_FOLDER OUTPUT.html");
  process.exit(2);
}
const read = (name) => fs.readFileSync(path.join(site, name));
// Text inside <script> ends at the first "</script", wherever it stands.
const scriptText = (text) => text.replace(/<\/(script)/gi, "<\\/$1");

function replaceOnce(html, from, to) {
  const at = html.indexOf(from);
  if (at < 0 || html.indexOf(from, at + 1) >= 0) {
    throw new Error(`index.html should hold ${from} once`);
  }
  return html.slice(0, at) + to + html.slice(at + from.length);
}

let html = read("index.html").toString("utf8");
html = replaceOnce(html, '<link rel="stylesheet" href="page.css">',
                   `<style>\n${read("page.css")}</style>`);
html = replaceOnce(html, '<script src="page.js"></script>',
                   `<script>\n${scriptText(read("page.js").toString("utf8"))}</script>`);
const embedded = `
(function () {
  const bytes = (base64) => Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  Module.wasmBinary = bytes("${read("torvin.wasm").toString("base64")}");
  const pictures = bytes("${read("torvin.data").toString("base64")}").buffer;
  Module.getPreloadedPackage = () => pictures;
})();
`;
html = replaceOnce(html, '<script src="torvin.js"></script>',
                   `<script>${embedded}</script>\n` +
                   `<script>\n${scriptText(read("torvin.js").toString("utf8"))}</script>`);
fs.writeFileSync(output, html);
