// Serves a folder over HTTP on 127.0.0.1 as any static web server would serve
// the page: each file with its type (.wasm as application/wasm, which the
// browser needs to compile the module as it arrives), nothing outside the
// folder, GET and HEAD only.
//
//   serveFolder(folder, port = 0) -> Promise<{ url, close() }>   (0: any free port)
//   node static_server.js FOLDER [PORT]                           serves until stopped
"use strict";

const fs = require("node:fs");
const http = require("node:http");
const path = require("node:path");

const types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".wasm": "application/wasm",
  ".data": "application/octet-stream",
  ".json": "application/json",
  ".css": "text/css; charset=utf-8",
  ".png": "image/png",
  ".jpg": "image/jpeg",
  ".gif": "image/gif",
  ".script": "text/plain; charset=utf-8",
};

function serveFolder(folder, port = 0) {
  const root = fs.realpathSync(folder);
  const server = http.createServer((request, response) => {
    if (request.method !== "GET" && request.method !== "HEAD") {
      response.writeHead(405, { Allow: "GET, HEAD" }).end();
      return;
    }
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    if (name.endsWith("/")) {
      name += "index.html";
    }
    const file = path.join(root, path.normalize(name));
    let real;
    try {
      real = fs.realpathSync(file);
    } catch {
      response.writeHead(404).end("not found\n");
      return;
    }
    if (real !== root && !real.startsWith(root + path.sep)) {
      response.writeHead(404).end("not found\n");
      return;
    }
    fs.stat(real, (error, stat) => {
      if (error || !stat.isFile()) {
        response.writeHead(404).end("not found\n");
        return;
      }
      response.writeHead(200, {
        "Content-Type": types[path.extname(real).toLowerCase()] || "application/octet-stream",
        "Content-Length": stat.size,
        "Cache-Control": "no-cache",
      });
      if (request.method === "HEAD") {
        response.end();
      } else {
        fs.createReadStream(real).pipe(response);
      }
    });
  });
  return new Promise((resolve, reject) => {
    server.once("error", reject);
    server.listen(port, "127.0.0.1", () => {
      const url = `http://127.0.0.1:${server.address().port}/`;
      resolve({ url, close: () => new Promise((done) => server.close(done)) });
    });
  });
}

module.exports = { serveFolder };

if (require.main === module) {
  const [folder, port] = process.argv.slice(2);
  if (!folder) {
    console.error("usage: node static_server.js FOLDER [PORT]");
    process.exit(2);
  }
  serveFolder(folder, Number(port || 8000)).then(
    ({ url }) => console.log(`Serving ${folder} on ${url} (Ctrl+C stops)`),
    (error) => {
      console.error(`static_server.js: ${error.message}`);
      process.exit(1);
    },
  );
}
