// The editor's commands in the page: the preview, the menu, a run, its pace and the status line,
// Load and Save, Clear All's question, leaving the page, and what the page keeps to itself.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { centre, choose, context, menu, paint, programText, ready, record, requests, strip }
    from './harness.mjs';

// A program that never ends: X walks back from cell 1,024 raising and lowering codes, and a Run
// cell starts the next pass.
const busy = [...Array(400).keys()].map((i) => [2, 3, 2, 4][i % 4]).concat(7);
const busyLink = `#v1.${Buffer.from(busy).toString('base64url')}`;

const status = (page) => page.textContent('#status');
const fill = async (page, bar) => (await record(page, 'mq_bar', bar))[4];
const steps = async (page) => Number((await status(page)).match(/step ([\d,]+)/)?.[1].replace(/,/g, '') ?? -1);
const holds = (page, ms) => page.waitForTimeout(ms);

test('the preview follows the pointer over white bars and leaves the strip as it was', async () => {
    const page = await ready('#v1.AAAAAAAAAAAAAAAAAAAF'); // bar 21 holds a Repeat
    await page.mouse.click(...Object.values(await centre(page, await record(page, 'mq_palette', 2))));
    const [, , right, bottom] = await record(page, 'mq_panel');
    const ratio = await page.evaluate(() => devicePixelRatio);
    // Where the pointer goes, and the fills of bars 10, 11 and 21 then.
    const moves = [[10, [0xFF0000, 0xFFFFFF, 0xFFFF00]], [11, [0xFFFFFF, 0xFF0000, 0xFFFF00]],
        [21, [0xFFFFFF, 0xFFFFFF, 0xFFFF00]], [10, [0xFF0000, 0xFFFFFF, 0xFFFF00]],
        ['background', [0xFFFFFF, 0xFFFFFF, 0xFFFF00]]];
    for (const [to, fills] of moves) {
        const at = to === 'background' ? { x: right / ratio + 8, y: bottom / ratio - 8 }
            : await centre(page, await record(page, 'mq_bar', to));
        await page.mouse.move(at.x, at.y);
        await page.waitForFunction((want) => {
            const mq = window.mosaiq;
            return [10, 11, 21].every((bar, i) => mq.HEAP32[(mq._mq_bar(bar) >> 2) + 4] === want[i]);
        }, fills, { timeout: 5000 }).catch(async () => assert.deepEqual(
            [await fill(page, 10), await fill(page, 11), await fill(page, 21)], fills, `over ${to}`));
        if (typeof to === 'number') assert.match(await status(page), new RegExp(`^Cell ${to} · 0[05] `));
    }
    assert.equal(new URL(page.url()).hash, '#v1.AAAAAAAAAAAAAAAAAAAF');
    await page.close();
});

// The items' states, Load ... to Close Menu, for each strip; "run" runs it first.
const menus = [
    ['an empty strip', '', false, '100001'],
    ['a Run cell, nothing touched', '#v1.Bw', false, '111011'],
    ['a cell a run has changed', '#v1.Aw', true, '111111'],
];
for (const [what, hash, run, items] of menus) {
    test(`the menu on ${what}`, async () => {
        const page = await ready(hash);
        if (run) {
            assert.equal(await menu(page), items.slice(0, 3) + '0' + items.slice(4));
            await choose(page, 'Run');
            await page.waitForFunction(() => / after /.test(document.getElementById('status').textContent));
        }
        assert.equal(await menu(page), items);
        await page.close();
    });
}

test('Run and Stop; an open menu holds the run', async () => {
    const page = await ready(busyLink);
    await page.evaluate(() => {
        const pace = document.getElementById('pace');
        pace.value = '17'; // full speed
        pace.dispatchEvent(new Event('input'));
    });
    await menu(page, 1024);
    await choose(page, 'Run');
    await page.waitForFunction(() => document.title === 'Mosaiq [Running]');
    await page.waitForFunction(() => /^Running · step [\d,]{5,}/.test(document.getElementById('status').textContent));
    assert.deepEqual(await menu(page, 1024), '111111');
    assert.deepEqual((await page.$$eval('#modal .menu button', (b) => b.map((e) => e.textContent)))[2], 'Stop');
    const held = await steps(page);
    await holds(page, 300);
    assert.equal(await steps(page), held, 'the run went on under the menu');
    await choose(page, 'Stop');
    await page.waitForFunction(() => document.title === 'Mosaiq [Design]');
    assert.match(await status(page), /^Stopped at cell \d+ after [\d,]+ steps in [\d,]+ pass/);
    assert.ok((await steps(page)) === -1 && Number((await status(page)).match(/after ([\d,]+)/)[1].replace(/,/g, '')) > held);
    assert.equal(strip(page).length, 1024);
    await page.close();
});

// Each rung of the slider: the words it shows, on the slider and in the status line.
const paces = [[0, 'Pace: 1 instruction per second'], [4, 'Pace: 20 instructions per second'],
    [9, 'Pace: 1,000 instructions per second'], [17, 'Pace: full speed']];
test('the pace slider', async () => {
    const page = await ready(busyLink);
    const set = (rung) => page.evaluate((rung) => {
        const pace = document.getElementById('pace');
        pace.value = String(rung);
        pace.dispatchEvent(new Event('input'));
    }, rung);
    assert.equal(await page.$eval('#pace', (p) => `${p.value}:${p.title}`), `4:${paces[1][1]}`);
    for (const [rung, words] of paces) {
        await set(rung);
        await page.waitForFunction((w) => document.getElementById('status').textContent === w, words);
        assert.equal(await page.$eval('#pace', (p) => p.title), words);
    }
    // One instruction a second: a run that has begun waits for the next.
    await set(0);
    await menu(page, 1024);
    await choose(page, 'Run');
    await page.waitForFunction(() => /^Running · step 1 /.test(document.getElementById('status').textContent));
    await holds(page, 400);
    assert.ok((await steps(page)) <= 2, await status(page));
    await set(17);
    await page.waitForFunction(() => /^Running · step [\d,]{7,}/.test(document.getElementById('status').textContent));
    await page.close();
});

test('the status line lies under the grid and tells how a run ended', async () => {
    const page = await ready('#v1.AQMC'); // Next Pixel, Plus Color, Previous Pixel
    const [left, , right, bottom] = await record(page, 'mq_panel');
    const ratio = await page.evaluate(() => devicePixelRatio);
    const box = await page.$eval('#status', (s) => s.getBoundingClientRect().toJSON());
    assert.ok(Math.abs(box.left - left / ratio) <= 1 && Math.abs(box.width - (right - left) / ratio) <= 1, JSON.stringify(box));
    assert.ok(Math.abs(box.top - bottom / ratio) <= 1, JSON.stringify(box));
    await paint(page, 1, 3);
    await page.waitForFunction(() => / after /.test(document.getElementById('status').textContent));
    assert.equal(await status(page), 'Ended at cell 3 after 3 steps in 1 pass · X on cell 1');
    await page.close();
});

// Load with the browser's own file picker. Each row: the file, what it holds and what the page
// then says; a file that cannot be read changes nothing.
const loads = [
    { name: 'two.mq', text: '01\r\n07\n', told: null, link: '#v1.AQc' },
    { name: 'big.mq', text: '0'.repeat((1 << 20) + 1), told: 'not a program file: too large' },
    { name: '<img src=/x onerror=alert(1)>.mq', text: '3', told: null, link: '#v1.Aw' },
    { name: '<img src=/x onerror=alert(1)>.mq', text: '\n'.repeat(1 << 20), told: 'not a program file: too large' },
];
async function load(page, name, text) {
    const chooser = page.waitForEvent('filechooser');
    await menu(page);
    await choose(page, 'Load ...');
    await (await chooser).setFiles({ name, mimeType: 'application/octet-stream', buffer: Buffer.from(text) });
}
for (const { name, text, told, link } of loads) {
    test(`Load ${name}${told ? ', which cannot be read' : ''}`, async () => {
        const page = await ready('#v1.AAU');
        const nodes = await page.$$eval('*', (e) => e.length);
        await load(page, name, text);
        if (told) {
            const dialog = await page.waitForSelector('#modal .dialog');
            assert.equal(await dialog.$eval('p', (p) => p.textContent), `The file ${name} could not be loaded: ${told}`);
            await page.click('#modal .dialog button');
        }
        await page.waitForSelector('#modal .menu'); // the menu opens again after a load
        await page.keyboard.press('Escape');
        assert.equal(new URL(page.url()).hash, link ?? '#v1.AAU');
        assert.equal(await page.title(), told ? 'Mosaiq [Design]' : `Mosaiq [Design] ${name}`);
        assert.equal(await page.$$eval('*', (e) => e.length), nodes, 'an element was made');
        assert.deepEqual(page.errors, []);
        await page.close();
    });
}

// Save writes the program file: through the save picker where the browser has one, else as a
// download under the loaded file's name or program.mq.
const picker = () => {
    window.showSaveFilePicker = async ({ suggestedName }) => ({
        name: 'picked.mq',
        createWritable: async () => ({
            write: async (bytes) => { window.saved = { suggestedName, bytes: Array.from(bytes) }; },
            close: async () => {},
        }),
    });
};
const saves = [
    { via: 'the save picker', init: picker, loaded: null, name: 'program.mq' },
    { via: 'a download', init: () => { window.showSaveFilePicker = undefined; }, loaded: null, name: 'program.mq' },
    { via: 'a download', init: () => { window.showSaveFilePicker = undefined; }, loaded: 'mine.mq', name: 'mine.mq' },
];
for (const { via, init, loaded, name } of saves) {
    test(`Save through ${via}${loaded ? ` after loading ${loaded}` : ''}`, async () => {
        const page = await ready('#v1.Bw', { init });
        if (loaded) {
            await load(page, loaded, '07\r\n00\r\n05');
            await page.waitForSelector('#modal .menu');
            await page.keyboard.press('Escape');
        }
        const download = init === picker ? null : page.waitForEvent('download');
        await menu(page);
        await choose(page, 'Save ...');
        let bytes;
        if (download) {
            const file = await download;
            assert.equal(file.suggestedFilename(), name);
            bytes = readFileSync(await file.path());
        } else {
            await page.waitForFunction(() => window.saved);
            const saved = await page.evaluate(() => window.saved);
            assert.equal(saved.suggestedName, name);
            bytes = Buffer.from(saved.bytes);
            await page.waitForFunction(() => document.title.endsWith(' picked.mq'));
        }
        assert.equal(bytes.toString('latin1'), programText(loaded ? [7, 0, 5] : [7]));
        await page.close();
    });
}

for (const [answer, link] of [['No', '#v1.Bw'], ['Yes', '#v1.']]) {
    test(`Clear All answered ${answer}`, async () => {
        const page = await ready('#v1.Bw');
        await menu(page);
        await choose(page, 'Clear All');
        const dialog = await page.waitForSelector('#modal .dialog');
        assert.deepEqual(await dialog.$$eval('h1, p, button', (e) => e.map((n) => n.textContent)),
            ['Mosaiq', 'Reset and clear everything?', 'Yes', 'No']);
        await page.click(`#modal .dialog button:text-is("${answer}")`);
        await page.waitForFunction((link) => location.hash === link, link);
        await page.evaluate(() => new Promise((r) => requestAnimationFrame(r)));
        assert.equal(await fill(page, 1), answer === 'No' ? 0xFF00FF : 0xFFFFFF);
        assert.equal(new URL(page.url()).hash, link);
        await page.close();
    });
}

// The browser's own question, and only when the strip holds something.
for (const [hash, asked] of [['#v1.Bw', ['beforeunload']], ['', []], ['#v1.AAAAAA', []]]) {
    test(`leaving the page with ${hash || 'no program'}`, async () => {
        const page = await ready(hash); // the key that closed the menu lets the page ask
        const dialogs = [];
        page.on('dialog', (d) => { dialogs.push(d.type()); d.accept(); });
        const closed = new Promise((r) => page.once('close', r));
        await page.close({ runBeforeUnload: true });
        await closed;
        assert.deepEqual(dialogs, asked);
    });
}

test('nothing leaves the browser: no requests after the page\'s own files, no cookies, no storage', async () => {
    const page = await ready('#v1.AQMC', { init: () => { window.showSaveFilePicker = undefined; } });
    const own = page.requests.slice();
    await paint(page, 3, 9);
    await page.waitForFunction(() => / after /.test(document.getElementById('status').textContent));
    const download = page.waitForEvent('download');
    await menu(page);
    await choose(page, 'Save ...');
    await download;
    await load(page, 'x.mq', '01');
    await page.waitForSelector('#modal .menu');
    assert.deepEqual(page.requests.filter((url) => !url.startsWith('blob:')), own);
    const files = ['/', '/style.css', '/main.js', '/draw.js', '/modal.js', '/files.js', '/mosaiq.js', '/mosaiq.wasm', '/icon.svg'];
    assert.deepEqual(requests.filter((path) => !files.includes(path)), [], 'asked of the server');
    assert.deepEqual(await context.cookies(), []);
    assert.deepEqual(await page.evaluate(async () => [localStorage.length, sessionStorage.length,
        (await indexedDB.databases()).length, (await caches.keys()).length]), [0, 0, 0, 0]);
    await page.close();
});
