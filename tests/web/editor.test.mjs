// The page from its splash to painting, and the links it reads and writes.

import assert from 'node:assert/strict';
import { linkOf, onPage, paint, pixel, record, until } from './harness.mjs';

onPage('the splash, then the editor and its first-time menu', '', async (page) => {
    assert.equal(await page.title(), 'Mosaiq');
    // Every tile shows the one tile colour, drawn where the splash's layout puts it.
    const [, , , , , tileColour, tiles] = await record(page, 'mq_splash');
    assert.ok(tiles >= 16 && tiles <= 64, `${tiles} tiles`);
    for (const i of [1, tiles]) {
        const [l, t, r, b] = await record(page, 'mq_splash_tile', i);
        assert.equal(await pixel(page, (l + r) / 2, (t + b) / 2), tileColour, `tile ${i}`);
    }
    await page.waitForSelector('#modal .menu');
    assert.equal(await page.title(), 'Mosaiq [Design]');
    assert.deepEqual(await page.$$eval('#modal .menu button', (bs) => bs.map((b) => `${b.textContent}:${b.disabled ? 'off' : 'on'}`)),
        ['Load ...:on', 'Save ...:off', 'Run:off', 'Reset Data:off', 'Clear All:off', 'Close Menu:on']);
    // The pointer has not been over the page: the menu opens over the grid's middle.
    const [l, t, r, b] = await record(page, 'mq_panel');
    const box = await page.$eval('#modal .menu', (m) => m.getBoundingClientRect());
    assert.deepEqual([box.x, box.y], [Math.trunc((l + r) / 2), Math.trunc((t + b) / 2)]);
}, { splash: true });

// A click with a pen paints its cell and runs the strip up to it. Each row: the pen, the bar
// clicked, the link that the strip gives once the run is over, and where X stands then.
const strokes = [
    { pen: 2, bar: 1024, link: linkOf({ 1024: 2 }), x: 1024 }, // Previous Pixel wraps X round
    { pen: 1, bar: 3, link: '#v1.AAAB', x: 2 },
    { pen: 7, bar: 1, link: '#v1.Bw', x: 1 }, // a Run with nothing executed before it stops
    { pen: 0, bar: 9, link: '#v1.', x: 1 }, // the white pen starts no run
    { pen: 3, bar: 2, link: '#v1.AQM', x: 1, ratio: 2 }, // the run raises cell 1
];

for (const { pen, bar, link, x, ratio = 1 } of strokes) {
    onPage(`pen ${pen} on bar ${bar} at a pixel ratio of ${ratio}`, '', async (page) => {
        assert.equal(await page.$eval('#window', (c) => c.width / c.clientWidth), ratio);
        const entries = await page.evaluate(() => history.length);
        await paint(page, pen, bar);
        // The run is over when the status line says so, the caption says so, X's caption shows
        // where it came to and the address holds the strip.
        if (pen) await until(page, / after /);
        await page.waitForFunction(([link, x]) => document.title === 'Mosaiq [Design]' && location.hash === link
            && window.mosaiq.HEAP32[(window.mosaiq._mq_bar(x) >> 2) + 7] === 1, [link, x]);
        const [l, t, r, b, fill] = await record(page, 'mq_bar', bar);
        const colour = [0xFFFFFF, 0x0000FF, 0xFF0000, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0xC0C0C0][pen];
        assert.equal(fill, colour);
        assert.equal(await pixel(page, l + 1, (t + b) / 2), colour);
        assert.equal((await record(page, 'mq_bar', x))[5], 0x0000FF, 'the colour of X\'s caption');
        assert.equal(await page.evaluate(() => history.length), entries, 'no history entries added');
    }, { ratio });
}

// An address that is not a program says why, in words that quote nothing of it, and starts an
// empty strip.
const badLinks = [
    ['#v1.<img src=x onerror=alert(1)>', 'it holds a character that is not base64url'],
    [`#v1.${'A'.repeat(1 << 20)}`, 'it is longer than any program'],
];
for (const [hash, why] of badLinks) {
    onPage(`bad link: ${why}`, hash, async (page) => {
        assert.equal(await page.textContent('#modal .dialog p'), `The address does not hold a program: ${why}.`);
        await page.click('#modal .dialog button');
        await page.waitForFunction(() => location.hash === '#v1.' && document.title === 'Mosaiq [Design]');
    }, { splash: true });
}
