// The browser edition's figures, measured in headless Chromium on 127.0.0.1: the steps a visible
// run makes at full speed and the frames the page shows meanwhile, the paces it keeps, the size
// of its files gzipped, and the time from navigation to the splash's first paint.
// Usage: node bench/web-bench.mjs WEB_DIR (the page that `make build-web` made). Prints
// "name: value" lines.

import { createRequire } from 'node:module';
import { createServer } from 'node:http';
import { readdirSync, readFileSync } from 'node:fs';
import { extname, join } from 'node:path';
import { gzipSync } from 'node:zlib';

const require = createRequire(new URL('../tests/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');
const webDir = process.argv[2];
const files = readdirSync(webDir);

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
    '.wasm': 'application/wasm', '.svg': 'image/svg+xml' };
const server = createServer((req, res) => {
    const name = new URL(req.url, 'http://x').pathname.slice(1) || 'index.html';
    if (!files.includes(name)) return res.writeHead(404).end();
    res.writeHead(200, { 'content-type': types[extname(name)] }).end(readFileSync(join(webDir, name)));
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;
const browser = await chromium.launch({
    executablePath: process.env.MOSAIQ_CHROMIUM ?? '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'],
});

const report = (name, value, digits = 0) => console.log(`${name}: ${value.toFixed(digits)}`);

// Counts the frames the browser shows and those in which the page drew on its canvas, and notes
// the first frame that shows the splash's first tile; set up before the page's own script runs.
function watch() {
    const frames = window.frames_ = { shown: 0, drawn: 0, drawing: false };
    const fill = CanvasRenderingContext2D.prototype.fillRect;
    CanvasRenderingContext2D.prototype.fillRect = function (...box) {
        frames.drawing = true;
        return fill.apply(this, box);
    };
    const tile = () => {
        const mq = window.mosaiq, at = (name, ...args) => mq.HEAP32.subarray(mq[name](...args) >> 2);
        const [l, t, r, b] = at('_mq_splash_tile', 1), colour = at('_mq_splash')[5];
        const [red, green, blue] = document.getElementById('window').getContext('2d')
            .getImageData((l + r) >> 1, (t + b) >> 1, 1, 1).data;
        return (blue << 16 | green << 8 | red) === colour;
    };
    const count = () => {
        ++frames.shown;
        if (frames.drawing) ++frames.drawn;
        frames.drawing = false;
        if (window.mosaiq && !window.splashPainted && tile()) window.splashPainted = performance.now();
        requestAnimationFrame(count);
    };
    requestAnimationFrame(count);
}

async function open(hash = '') {
    const context = await browser.newContext({ viewport: { width: 1024, height: 720 } });
    const page = await context.newPage();
    await page.addInitScript(watch);
    await page.goto(`${origin}/${hash}`);
    return page;
}

// The busy program (as bench/BenchPrograms.h) runs at slider rung `rung` for `ms`: steps and
// frames a second, from the status line's counts and the frame counters.
const busy = [...Array(400).keys()].map((i) => [2, 3, 2, 4][i % 4]).concat(7);
async function run(rung, ms) {
    const page = await open(`#v1.${Buffer.from(busy).toString('base64url')}`);
    await page.waitForSelector('#modal .menu', { timeout: 20000 });
    await page.keyboard.press('Escape');
    await page.evaluate((rung) => {
        const pace = document.getElementById('pace');
        pace.value = String(rung);
        pace.dispatchEvent(new Event('input'));
    }, rung);
    await page.mouse.click(600, 300, { button: 'right' });
    await page.click('#modal .menu button:text-is("Run")');
    const sample = () => page.evaluate(() => ({ at: performance.now(), ...window.frames_,
        steps: Number(document.getElementById('status').textContent.match(/^Running · step ([\d,]+)/)?.[1].replace(/,/g, '')) }));
    await page.waitForFunction(() => /^Running · step/.test(document.getElementById('status').textContent), null, { timeout: 10000 });
    const first = await sample();
    await page.waitForTimeout(ms);
    const last = await sample();
    await page.context().close();
    const seconds = (last.at - first.at) / 1000;
    return { steps: (last.steps - first.steps) / seconds, shown: (last.shown - first.shown) / seconds,
        drawn: (last.drawn - first.drawn) / seconds };
}

try {
    report('web_bytes_gzip', files.reduce((n, f) => n + gzipSync(readFileSync(join(webDir, f)), { level: 9 }).length, 0));
    const paints = [];
    for (let i = 0; i < 5; ++i) {
        const page = await open();
        await page.waitForFunction(() => window.splashPainted, null, { timeout: 10000 });
        paints.push(await page.evaluate(() => window.splashPainted));
        await page.context().close();
    }
    report('web_first_paint_ms', paints.sort((a, b) => a - b)[2], 1); // the median of five
    for (const [rung, pace] of [[9, 1000], [15, 100000]])
        report(`web_paced_instructions_per_s_${pace}`, (await run(rung, 2500)).steps);
    const paced = await run(4, 3000);
    report('web_paced_instructions_per_s_20', paced.steps, 1);
    report('web_frames_per_s_20', paced.shown, 1);
    report('web_drawn_frames_per_s_20', paced.drawn, 1);
    const full = await run(17, 3000);
    report('web_visible_steps_per_s', full.steps);
    report('web_frames_per_s', full.shown, 1);
    report('web_drawn_frames_per_s', full.drawn, 1);
} finally {
    await browser.close();
    server.close();
}
