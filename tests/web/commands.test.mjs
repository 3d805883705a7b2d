// The editor's commands in the page: the preview, the menu, a run, its pace and the status line,
// Load and Save and what the page keeps to itself, Clear All's question, leaving the page.

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { centre, choose, context, linkOf, menu, onPage, origin, pace, paint, record, requests, until }
    from './harness.mjs';

// A program that never ends: X walks back from cell 1,024 raising and lowering codes, and a Run
// cell starts the next pass.
const busy = linkOf({ ...[...Array(400).keys()].map((i) => [2, 3, 2, 4][i % 4]), 401: 7 });
const count = (words, before) => Number(words.match(new RegExp(`${before} ([\\d,]+)`))[1].replace(/,/g, ''));

// Bar 21 holds a Repeat.
onPage('the preview follows the pointer over white bars; the status line under the grid names the cell', linkOf({ 21: 5 }), async (page) => {
    await page.mouse.click(...Object.values(await centre(page, await record(page, 'mq_palette', 2))));
    const [left, , right, bottom] = await record(page, 'mq_panel');
    const box = await page.$eval('#status', (s) => s.getBoundingClientRect().toJSON());
    assert.deepEqual([box.left, box.width, box.top].map(Math.round), [left, right - left, bottom]);
    // Where the pointer goes; the fills of bars 10, 11 and 21 then.
    for (const [to, fills] of [[10, [0xFF0000, 0xFFFFFF, 0xFFFF00]], [11, [0xFFFFFF, 0xFF0000, 0xFFFF00]],
        [21, [0xFFFFFF, 0xFFFFFF, 0xFFFF00]], [10, [0xFF0000, 0xFFFFFF, 0xFFFF00]], [0, [0xFFFFFF, 0xFFFFFF, 0xFFFF00]]]) {
        const at = to ? await centre(page, await record(page, 'mq_bar', to)) : { x: right + 8, y: bottom - 8 };
        await page.mouse.move(at.x, at.y);
        if (to) await until(page, new RegExp(`^Cell ${to} · 0${to === 21 ? 5 : 0} `)); // the cell's code
        else await page.waitForTimeout(100);
        assert.deepEqual([(await record(page, 'mq_bar', 10))[4], (await record(page, 'mq_bar', 11))[4],
            (await record(page, 'mq_bar', 21))[4]], fills, `over bar ${to}`);
    }
    // A drag keeps its moves on the pressed bar: the white bar it crosses shows no preview.
    const from = await centre(page, await record(page, 'mq_bar', 10));
    const over = await centre(page, await record(page, 'mq_bar', 12));
    await page.mouse.move(from.x, from.y);
    await page.mouse.down();
    await page.mouse.move(over.x, over.y);
    await page.waitForTimeout(100);
    assert.deepEqual([(await page.textContent('#status')).slice(0, 8), (await record(page, 'mq_bar', 12))[4]], ['Cell 10 ', 0xFFFFFF]);
    await page.mouse.up();
});

// A run, its pace and Stop; the menu that a run holds.
onPage('the pace slider\'s words; a slow pace holds a run, so does an open menu, and Stop ends it', busy, async (page) => {
    assert.equal(await page.$eval('#pace', (p) => `${p.value}:${p.title}`), '4:Pace: 20 instructions per second');
    for (const [rung, words] of [[9, '1,000 instructions per second'], [17, 'full speed'], [0, '1 instruction per second']]) {
        await pace(page, rung);
        await until(page, new RegExp(`^Pace: ${words}$`));
        assert.equal(await page.$eval('#pace', (p) => p.title), `Pace: ${words}`);
    }
    await menu(page, 1024);
    await choose(page, 'Run');
    await page.waitForFunction(() => document.title === 'Mosaiq [Running]');
    const begun = count(await until(page, /^Running · step/), 'step');
    const posts = await page.evaluate(() => window.posts);
    await page.waitForTimeout(400);
    assert.ok(count(await page.textContent('#status'), 'step') <= begun + 1, 'one instruction a second');
    // ... in which the page idles: no turn of its loop is asked for while the run waits.
    assert.ok(await page.evaluate(() => window.posts) - posts < 25, 'the wait spins');
    await pace(page, 17);
    await until(page, /^Running · step [\d,]{7,}/);
    // Items' states, Load ... to Close Menu ("1" enabled); Run's item reads Stop.
    assert.equal(await menu(page, 1024), '111111');
    const held = count(await page.textContent('#status'), 'step');
    await page.waitForTimeout(300);
    assert.equal(count(await page.textContent('#status'), 'step'), held, 'the run went on under the menu');
    await choose(page, 'Stop');
    await page.waitForFunction(() => document.title === 'Mosaiq [Design]');
    const ended = count(await until(page, /^Stopped at cell \d+ after [\d,]+ steps in [\d,]+ pass/), 'after');
    assert.ok(ended >= held && ended <= held + 2, `${held} steps under the menu, ${ended} at the end`);
}, { init: () => { // counts the turns of the loop the editor asks for
    const post = MessagePort.prototype.postMessage;
    window.posts = 0;
    MessagePort.prototype.postMessage = function (...message) { ++window.posts; return post.apply(this, message); };
} });

// Load with the browser's file picker; a file that cannot be read is told and changes nothing.
async function load(page, name, text, refused = false) {
    const chooser = page.waitForEvent('filechooser');
    await menu(page);
    await choose(page, 'Load ...');
    await (await chooser).setFiles({ name, mimeType: 'text/plain', buffer: Buffer.from(text) });
    const told = refused && await page.textContent('#modal .dialog p');
    if (refused) await page.click('#modal .dialog button');
    await page.waitForSelector('#modal .menu'); // it opens again after a load
    await page.keyboard.press('Escape');
    return told;
}
const tooLarge = 'F'.repeat((1 << 20) + 1);
for (const [name, text, link, shown = name] of [['two.mq', '01\r\n07\n', '#v1.AQc'], ['big.mq', tooLarge],
    ['<img src=x onerror=alert(1)>.mq', '3', '#v1.Aw'], ['<img src=x onerror=alert(1)>.mq', tooLarge],
    ['a/b.mq', '3', '#v1.Aw', 'program.mq']]) {
    onPage(`Load ${name}${link ? '' : ', too large'}`, '#v1.AAU', async (page) => {
        const told = await load(page, name, text, !link);
        if (!link) assert.equal(told, `The file ${name} could not be loaded: not a program file: too large`);
        assert.equal(new URL(page.url()).hash, link ?? '#v1.AAU');
        assert.equal(await page.title(), link ? `Mosaiq [Design] ~ ${shown}` : 'Mosaiq [Design]');
    });
}

// Save: through the save picker where there is one, else a download named as the loaded file or
// program.mq. Nothing leaves the browser: no address but the page's own files was ever asked for
// (by this page or an earlier one), no cookies, no storage, no script the page did not ship.
function picker() {
    window.showSaveFilePicker = async ({ suggestedName }) => ({ name: 'picked.mq', createWritable: async () => ({
        write: async (bytes) => { window.saved = { suggestedName, bytes: Array.from(bytes) }; }, close: async () => {} }) });
}
const noPicker = () => { window.showSaveFilePicker = undefined; };
for (const [init, loaded, name] of [[picker, null, 'program.mq'], [noPicker, null, 'program.mq'], [noPicker, 'mine.mq', 'mine.mq']]) {
    onPage(`Save ${init === picker ? 'with the picker' : 'as a download'}${loaded ? ` after loading ${loaded}` : ''}`, '#v1.Bw', async (page) => {
        if (loaded) await load(page, loaded, '07\r\n00\r\n05');
        await paint(page, 3, 9); // and the run it starts
        await until(page, / after /);
        const download = init === noPicker && page.waitForEvent('download');
        await menu(page);
        await choose(page, 'Save ...');
        const saved = download ? { suggestedName: (await download).suggestedFilename(), bytes: readFileSync(await (await download).path()) }
            : await (await page.waitForFunction(() => window.saved)).jsonValue();
        assert.equal(saved.suggestedName, name);
        const codes = [...(loaded ? ['07', '00', '05'] : ['07', '00', '00']), '00', '00', '00', '00', '00', '03'];
        assert.equal(Buffer.from(saved.bytes).toString('latin1'), [...codes, ...Array(1024 - codes.length).fill('00')].join('\r\n') + '\r\n');
        if (!download) await page.waitForFunction(() => document.title.endsWith(' ~ picked.mq'));
        const files = ['', 'style.css', 'main.js', 'draw.js', 'modal.js', 'files.js', 'mosaiq.js', 'mosaiq.wasm', 'icon.svg'];
        assert.deepEqual(requests.filter((url) => !files.map((f) => `${origin}/${f}`).includes(url)), []);
        assert.deepEqual(await context.cookies(), []);
        assert.equal(await page.evaluate(() => { // the page's policy refuses script it did not ship
            const script = document.createElement('script');
            script.textContent = 'window.injected = true';
            document.head.append(script);
            return window.injected ?? false;
        }), false);
        assert.deepEqual(await page.evaluate(async () => [localStorage.length, sessionStorage.length,
            (await indexedDB.databases()).length, (await caches.keys()).length]), [0, 0, 0, 0]);
    }, { init });
}

for (const [answer, link, fill] of [['No', '#v1.Bw', 0xC0C0C0], ['Yes', '#v1.', 0xFFFFFF],
    ['Escape', '#v1.Bw', 0xC0C0C0]]) {
    onPage(`Clear All answered ${answer}`, '#v1.Bw', async (page) => {
        assert.equal(await menu(page), '111011'); // a Run cell: nothing to reset
        await choose(page, 'Clear All');
        const dialog = await page.waitForSelector('#modal .dialog');
        assert.deepEqual(await dialog.$$eval('h1, p, button', (e) => e.map((n) => n.textContent)),
            ['Mosaiq', 'Reset and clear everything?', 'Yes', 'No']);
        if (answer === 'Escape') await page.keyboard.press('Escape');
        else await page.click(`#modal .dialog button:text-is("${answer}")`);
        await page.waitForFunction((link) => location.hash === link && !document.querySelector('#modal .dialog'), link);
        assert.equal((await record(page, 'mq_bar', 1))[4], fill);
    });
}

// The browser's own question, and only when the strip holds something.
for (const [link, asked] of [['#v1.Bw', ['beforeunload']], ['', []], ['#v1.AAAAAA', []]]) {
    // The key that closed the menu lets the page ask.
    onPage(`leaving the page with ${link || 'no program'}`, link, async (page) => {
        const dialogs = [];
        page.on('dialog', (d) => { dialogs.push(d.type()); d.accept(); });
        await Promise.all([page.waitForEvent('close'), page.close({ runBeforeUnload: true })]);
        assert.deepEqual(dialogs, asked);
    });
}
