// Drives the browser edition in headless Chromium: Debian's Chromium under Playwright with a fresh
// profile, which answers every request itself from the page that the web build made
// (MOSAIQ_WEB_DIR) and records it. Tests read the editor's state through the page's own C
// interface (window.mosaiq) and what is drawn from the canvas.

import { chromium } from 'playwright-core';
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const webDir = process.env.MOSAIQ_WEB_DIR;
if (!webDir || !existsSync(join(webDir, 'mosaiq.wasm')))
    throw new Error(`no browser edition in MOSAIQ_WEB_DIR (${webDir}): build it with make build-web`);

// The page's address: nothing listens there, the browser is answered from MOSAIQ_WEB_DIR. A
// secure context, as a page that is served for real is.
export const origin = 'http://localhost';

// Every address asked for by any page, in order.
export const requests = [];

let profile;
export let context;

before(async () => {
    profile = mkdtempSync(join(tmpdir(), 'mosaiq-chromium-'));
    context = await chromium.launchPersistentContext(profile, {
        executablePath: process.env.MOSAIQ_CHROMIUM ?? '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync'],
        viewport: { width: 1024, height: 720 },
        acceptDownloads: true,
    });
    await context.route('**/*', (route) => {
        const url = route.request().url();
        requests.push(url);
        const file = join(webDir, new URL(url).pathname.slice(1) || 'index.html');
        if (!url.startsWith(`${origin}/`) || !existsSync(file)) return route.fulfill({ status: 404 });
        return route.fulfill({ path: file });
    });
});

after(async () => {
    await context?.close();
    if (profile) rmSync(profile, { recursive: true, force: true });
});

// A new page on `hash` (with its "#", or none), `init` run in it before the page's own script,
// at a device pixel `ratio`; `errors` collects what the page throws. It is handed over once the
// splash has given way to the editor and its first-time menu is closed, or at once with `splash`.
export async function open(hash = '', { init, ratio, splash } = {}) {
    const page = await context.newPage();
    if (ratio) await (await context.newCDPSession(page)).send('Emulation.setDeviceMetricsOverride',
        { width: 1024, height: 720, deviceScaleFactor: ratio, mobile: false });
    page.errors = [];
    page.on('pageerror', (e) => page.errors.push(e.message));
    if (init) await page.addInitScript(init);
    await page.goto(`${origin}/${hash}`);
    await page.waitForFunction(() => window.mosaiq);
    if (splash) return page;
    await page.waitForSelector('#modal .menu', { timeout: 15000 });
    await page.keyboard.press('Escape');
    return page;
}

// A test on a page that `open` opened on `hash`, closed once `body(page)` is done; the page
// throws nothing, and an editor that is up asks for nothing more. A page that never hands
// control back fails its test after two minutes instead of holding up the suite.
export function onPage(name, hash, body, options) {
    test(name, { timeout: 120000 }, async () => {
        const page = await open(hash, options);
        const asked = requests.length;
        await body(page);
        await page.close();
        assert.deepEqual(page.errors, []);
        if (!options?.splash) assert.deepEqual(requests.slice(asked), [], 'asked for after the page was up');
    });
}

// A record of the boundary: mq_bar(i), mq_palette(i), mq_canvas() ...
export function record(page, name, ...args) {
    return page.evaluate(([name, args]) => {
        const mq = window.mosaiq;
        const at = mq[`_${name}`](...args) >> 2;
        return Array.from(mq.HEAP32.subarray(at, at + 8));
    }, [name, args]);
}

// The centre of a rectangle of device pixels, in the page's CSS pixels.
export async function centre(page, [left, top, right, bottom]) {
    const ratio = await page.evaluate(() => devicePixelRatio);
    return { x: (left + right) / 2 / ratio, y: (top + bottom) / 2 / ratio };
}

// The canvas's colour at device pixel (x, y) once the page has drawn a frame after this call,
// blue-green-red as the editor keeps colours.
export function pixel(page, x, y) {
    return page.evaluate(async ([x, y]) => {
        await new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)));
        const [r, g, b] = document.getElementById('window').getContext('2d').getImageData(x, y, 1, 1).data;
        return b << 16 | g << 8 | r;
    }, [Math.floor(x), Math.floor(y)]);
}

// Picks pen `pen` in the palette and clicks bar `bar` with it.
export async function paint(page, pen, bar) {
    const palette = await centre(page, await record(page, 'mq_palette', pen));
    await page.mouse.click(palette.x, palette.y);
    const at = await centre(page, await record(page, 'mq_bar', bar));
    await page.mouse.click(at.x, at.y);
}

// Opens the menu with a right click on `bar`; its items' states in order, "1" for enabled.
export async function menu(page, bar = 1) {
    const at = await centre(page, await record(page, 'mq_bar', bar));
    await page.mouse.click(at.x, at.y, { button: 'right' });
    await page.waitForSelector('#modal .menu');
    return page.$$eval('#modal .menu button', (bs) => bs.map((b) => (b.disabled ? 0 : 1)).join(''));
}

export function choose(page, caption) {
    return page.click(`#modal .menu button:text-is("${caption}")`);
}

// The address's fragment for a strip holding `cells` ({cell: code}) and white elsewhere.
export function linkOf(cells) {
    const codes = new Uint8Array(Math.max(0, ...Object.keys(cells).map(Number)));
    for (const [cell, code] of Object.entries(cells)) codes[cell - 1] = code;
    return `#v1.${Buffer.from(codes).toString('base64url')}`;
}

// Waits until the status line matches `pattern`; its words then.
export async function until(page, pattern) {
    await page.waitForFunction((p) => new RegExp(p).test(document.getElementById('status').textContent), pattern.source);
    return page.textContent('#status');
}

// Moves the pace slider to rung `rung` (0 the slowest, 17 full speed).
export function pace(page, rung) {
    return page.$eval('#pace', (p, rung) => {
        p.value = String(rung);
        p.dispatchEvent(new Event('input'));
    }, rung);
}
