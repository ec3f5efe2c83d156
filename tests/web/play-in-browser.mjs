// End-to-end test of a web build in a real browser: serves a folder made by
// scripts/build-web or `tessarine-scene web` on 127.0.0.1, opens it in
// headless Chromium (Debian's, driven by puppeteer-core), clicks to play,
// waits for the first frame, checks that the canvas shows the scene and not
// only sky, holds W for a second and checks that the player moved, takes a
// screenshot, and reports the frame rate. With --page-failures, also checks
// that a page without WebGL 2, and one whose game file is missing, say so
// instead of leaving the page blank; with --expect-failure, that the page says TEXT
// (of the page opened with QUERY after its address, when given)
// instead of playing. Every wait polls what the page shows, up to a
// generous limit.
//   node play-in-browser.mjs FOLDER SCREENSHOT_DIR [--page-failures | --expect-failure TEXT [QUERY]]
import {execFileSync} from "node:child_process";
import {mkdirSync, readFileSync, existsSync} from "node:fs";
import http from "node:http";
import {createRequire} from "node:module";
import path from "node:path";
import {fileURLToPath} from "node:url";

// puppeteer-core lives in the build tree, where scripts/setup installs it
// from this folder's package.json.
const dependencies = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../../build/browser-test");
const puppeteer = createRequire(path.join(dependencies, "package.json"))("puppeteer-core");

const [folder, shots, flag, expectedFailure, query = ""] = process.argv.slice(2);
if (!folder || !shots) {
  console.error("usage: play-in-browser.mjs FOLDER SCREENSHOT_DIR [--page-failures | --expect-failure TEXT [QUERY]]");
  process.exit(2);
}
mkdirSync(shots, {recursive: true});

let passes = 0, failures = 0;
function check(what, ok, detail = "") {
  if (ok) passes++; else failures++;
  console.log(`${ok ? "ok" : "FAILED"}: ${what}${detail && !ok ? " (" + detail + ")" : ""}`);
}

// A static server of the folder, with the types browsers check; a file in
// `hidden` answers 404.
const TYPES = {".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm", ".json": "application/json"};
const hidden = new Set();
const root = path.resolve(folder);
const server = http.createServer((request, response) => {
  const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
  const file = path.join(root, name.endsWith("/") ? name + "index.html" : name);
  if (!file.startsWith(root) || hidden.has(path.basename(file)) || !existsSync(file)) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, {"Content-Type": TYPES[path.extname(file)] || "application/octet-stream"});
  response.end(readFileSync(file));
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const url = `http://127.0.0.1:${server.address().port}/`;

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: ["--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
         "--disable-background-networking", "--disable-component-update", "--no-first-run",
         "--disable-default-apps", "--window-size=800,450"],
  defaultViewport: {width: 800, height: 450},
});

// Polls the page until the function returns something true, for up to the
// given seconds; returns its last value.
async function waitFor(page, seconds, fn, ...args) {
  const deadline = Date.now() + seconds * 1000;
  for (;;) {
    const value = await page.evaluate(fn, ...args).catch(() => undefined);
    if (value || Date.now() > deadline) return value;
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
}
// The page's message once it is past loading, or nothing.
const messageShown = () => {
  const cover = document.getElementById("cover");
  const text = cover && getComputedStyle(cover).display !== "none" && document.getElementById("message").textContent;
  return text !== "Loading..." && text;
};

async function openPage(setUp) {
  const page = await browser.newPage();
  if (setUp) await page.evaluateOnNewDocument(setUp);
  await page.goto(url + query);
  return page;
}

// The player's position once it stands more than a unit away (along the
// ground) from where it was, or nothing after half a minute.
function walkedFrom(page, from) {
  return waitFor(page, 30, (from) => {
    const [x, , z] = window.tessarine.position;
    return Math.hypot(x - from[0], z - from[2]) > 1 && window.tessarine.position;
  }, from);
}

// The share of a screenshot's pixels that are sky.
function skyShare(file) {
  return Number(execFileSync("convert", [file, "-alpha", "off", "-fuzz", "4%", "-transparent", "rgb(102,191,255)",
                                         "-alpha", "extract", "-negate", "-format", "%[fx:mean]", "info:"]));
}

try {
  const page = await openPage(() => { window.tessarine = {frames: 0}; });
  page.on("console", (line) => {
    const problem = line.type() === "error" || (line.type() === "warn" && !line.text().startsWith("DEBUG: "));
    if (problem) console.log("page: " + line.text());
  });
  const shown = await waitFor(page, 120, messageShown);
  if (expectedFailure) {
    // A scene the game refuses shows once play starts.
    if (shown === "Click to play") await page.click("#cover");
    const said = await waitFor(page, 60, () => window.tessarine.failure);
    check("the page says why the game cannot start", Boolean(said) && said.includes(expectedFailure), said || shown);
    await page.screenshot({path: `${shots}/browser-refused.png`});
  } else {
    check("the page loads and asks for a click", shown === "Click to play", shown);
    await page.click("#cover");
    const started = await waitFor(page, 120, () => window.tessarine.frames > 5 || window.tessarine.failure);
    check("the game draws its frames after the click", started === true, started);
    await page.screenshot({path: `${shots}/browser-start.png`});
    const sky = skyShare(`${shots}/browser-start.png`);
    check("the canvas shows the scene, not only sky", sky < 0.75, `sky ${sky}`);

    const before = await page.evaluate(() => window.tessarine.position);
    const frames = await page.evaluate(() => window.tessarine.frames);
    const start = Date.now();
    // The key is held until the player has walked: on a busy machine the
    // frames, and so the steps, come slower.
    await page.keyboard.down("KeyW");
    const moved = await walkedFrom(page, before);
    await page.keyboard.up("KeyW");
    const seconds = (Date.now() - start) / 1000;
    const drawn = await page.evaluate(() => window.tessarine.frames) - frames;
    check("holding W for a second walks the player forward", Boolean(moved), JSON.stringify([before, moved]));
    await page.screenshot({path: `${shots}/browser-walked.png`});

    // A gamepad as the browser reports one, its left stick pulled back
    // (away from whatever W may have walked into) until the player has walked.
    const beforePad = await page.evaluate(() => window.tessarine.position);
    await page.evaluate(() => {
      const buttons = Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}));
      const pad = {id: "Test gamepad", index: 0, connected: true, mapping: "standard", buttons,
                   axes: [0, 1, 0, 0], get timestamp() { return performance.now(); }};
      navigator.getGamepads = () => [pad];
      const connected = new Event("gamepadconnected");
      connected.gamepad = pad;
      window.dispatchEvent(connected);
      window.testGamepad = pad;
    });
    const padMoved = await walkedFrom(page, beforePad);
    await page.evaluate(() => { window.testGamepad.axes = [0, 0, 0, 0]; });
    check("the gamepad's left stick walks the player too", Boolean(padMoved), JSON.stringify([beforePad, padMoved]));
    const rate = drawn / seconds;
    console.log(`frame rate in headless Chromium at 800 x 450: ${rate.toFixed(1)} frames a second ` +
                `(${(1000 / rate).toFixed(1)} ms a frame)`);

    // A screenshot (P in a browser) is offered as a download named after the
    // file alone; the link's click is caught instead of saving it.
    await page.evaluate(() => {
      HTMLAnchorElement.prototype.click = function () { (window.tessarine.downloads ||= []).push(this.download); };
    });
    await page.keyboard.press("KeyP");
    const offered = await waitFor(page, 30, () => window.tessarine.downloads?.[0]);
    check("a screenshot is offered as a download", /^tessarine-[^/]+\.png$/.test(offered || ""), offered);

    // The settings screen (O in a browser): the mouse's sensitivity raised
    // a step, then Save, the row above the last. The file is kept in the
    // page's storage, and the game reads it again after a reload.
    for (const key of ["KeyO", "ArrowRight", ...Array(40).fill("ArrowDown"), "ArrowUp", "Enter"]) {
      await page.keyboard.press(key);
      const frame = await page.evaluate(() => window.tessarine.frames);
      await waitFor(page, 10, (after) => window.tessarine.frames > after + 1, frame);
    }
    const kept = await waitFor(page, 10, () => Object.entries(localStorage).find(([key]) => key.startsWith("tessarine:")));
    check("the settings screen saves into the page's storage", /mouse_sensitivity = 0\.055\b/.test(kept?.[1] || ""),
          JSON.stringify(kept));
    if (kept) {
      await page.reload();
      await waitFor(page, 120, messageShown);
      await page.click("#cover");
      await waitFor(page, 120, () => window.tessarine.frames > 1);
      const file = kept[0].slice("tessarine:".length);
      const read = await page.evaluate((file) => Module.FS.readFile(file, {encoding: "utf8"}), file).catch(() => null);
      check("and the game finds them there after a reload", read === kept[1]);
    }
  }
  if (flag === "--page-failures") {
    const withoutWebgl2 = await openPage(() => {
      const getContext = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
        return kind === "webgl2" ? null : getContext.call(this, kind, ...rest);
      };
    });
    const noWebgl2 = await waitFor(withoutWebgl2, 30, messageShown);
    check("without WebGL 2 the page says so", /needs WebGL 2/.test(noWebgl2 || ""), noWebgl2);

    hidden.add("tessarine.wasm");
    const withoutGame = await openPage();
    const noGame = await waitFor(withoutGame, 60, messageShown);
    check("without its game file the page says it stopped", /Tessarine stopped/.test(noGame || ""), noGame);
    hidden.clear();
  }
} finally {
  await browser.close();
  server.close();
}
console.log(`${passes} passed, ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
