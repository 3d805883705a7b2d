// The runner compiled to WebAssembly, under Node.js, against the native one: on random programs
// (seeded, so a failure can be run again) both write the same strip and the same line of steps,
// passes, X and end, and exit alike. Every line-end style and either case of the hex digits is
// used, and about half the runs stop at a random cell; endless programs meet a step budget.
// Usage: node runner-agreement.mjs NATIVE_RUNNER WASM_RUNNER_JS [COUNT] [SEED]

import { execFile } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import assert from 'node:assert/strict';

const [native, wasm, count = '500', seed = '21'] = process.argv.slice(2);
const folder = mkdtempSync(join(tmpdir(), 'mosaiq-agree-'));

// A whole number below n, the next of a sequence that the seed fixes.
let drawn = 0;
const pick = (n) => createHash('sha256').update(`${seed}:${drawn++}`).digest().readUInt32LE(0) % n;

// Mostly instructions at the front, a few data codes, now and then a code far down the strip.
function program() {
    const codes = new Array(1024).fill(0);
    const length = 1 + pick(pick(2) ? 24 : 400);
    for (let i = 0; i < length; ++i) codes[i] = pick(10) ? pick(8) : pick(256);
    for (let k = pick(4); k > 0; --k) codes[pick(1024)] = pick(256);
    const end = ['\r\n', '\n', '\r'][pick(3)];
    const text = codes.map((c) => c.toString(16).padStart(2, '0')).join(end) + end;
    const limit = pick(2) ? ['--limit', String(1 + pick(1024))] : [];
    return { text: pick(2) ? text.toUpperCase() : text, args: ['--steps', '20000', ...limit] };
}

function run(file, args) {
    return new Promise((resolve) => {
        execFile(file, args, { encoding: 'latin1', maxBuffer: 1 << 20 }, (error, stdout, stderr) =>
            resolve({ status: error ? error.code : 0, stdout, stderr }));
    });
}

const jobs = Array.from({ length: Number(count) }, (_, i) => ({ i, ...program() }));
const ends = {};
async function worker() {
    for (let job; (job = jobs.shift());) {
        const path = join(folder, `${job.i}.mq`);
        writeFileSync(path, job.text, 'latin1');
        const mine = await run(native, [...job.args, path]);
        const theirs = await run('node', ['--no-experimental-fetch', wasm, ...job.args, path]);
        assert.deepEqual(theirs, mine, `program ${job.i} (seed ${seed}): ${job.args.join(' ')}`);
        assert.equal(mine.stdout.length, 4096, `program ${job.i}: ${mine.stderr}`);
        const end = mine.stderr.match(/end=(\S+)/)[1];
        ends[end] = (ends[end] ?? 0) + 1;
    }
}
try {
    await Promise.all([worker(), worker()]);
    console.log(`${count} programs agree; their ends:`, ends);
    // A generator that never reached these ends would prove too little.
    for (const end of ['limit', 'steps', 'idle-run', 'no-end-repeat', 'stray-end-repeat'])
        assert.ok(ends[end] > 0, `no run ended with ${end}`);
} finally {
    rmSync(folder, { recursive: true, force: true });
}
