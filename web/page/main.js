// The page: starts the editor compiled to WebAssembly, turns the browser's events into the
// editor's (see PageEvent.h) and shows what the editor says. It decides nothing itself.

import createMosaiq from './mosaiq.js';
import { Painter, Font } from './draw.js';
import { Modal } from './modal.js';
import { Files } from './files.js';

const canvas = document.getElementById('window');
const pace = document.getElementById('pace');
const statusLine = document.getElementById('status');

const Event = {
    Resize: 1, PointerDown: 2, PointerMove: 3, PointerUp: 4, SliderMove: 5, SliderHover: 6,
    MenuClosed: 7, Answer: 8, SplashPainted: 9,
};

// The editor waits for the page here: until something is posted, or `ms` milliseconds (none: for
// ever; 0: one turn of the browser's loop, in which it draws and delivers input).
class Waiter {
    constructor() {
        this.wake = null;
        this.channel = new MessageChannel();
        this.channel.port1.onmessage = () => this.resume();
    }
    wait(ms) {
        // The editor runs on one stack: a second wait while one is outstanding would be a fault.
        if (this.wake) throw new Error('the editor is already waiting');
        return new Promise((resolve) => {
            this.wake = resolve;
            if (ms === 0) this.channel.port2.postMessage(0);
            else if (ms > 0) this.timer = setTimeout(() => this.resume(), ms);
        });
    }
    resume() {
        const wake = this.wake;
        if (!wake) return;
        this.wake = null;
        clearTimeout(this.timer);
        wake();
    }
}

const waiter = new Waiter();
let mq = null;
let painter = null;
let modal = null;
let files = null;

function post(kind, a = 0, b = 0, c = 0, d = 0) {
    mq._mq_post(kind, a, b, c, d);
    waiter.resume();
}

function answer(id, ok, text) {
    page.answerText = text;
    post(Event.Answer, id, ok ? 1 : 0);
}

const place = [pace, statusLine];

// What the editor calls (see PageView.cpp).
const page = {
    answerText: '',
    wait: (ms) => waiter.wait(ms),
    title: (text) => { document.title = text; },
    status: (text) => { statusLine.textContent = text; },
    hint: (text) => { canvas.title = text; },
    place(what, left, top, width, height, shown) {
        const e = place[what];
        Object.assign(e.style, { left: `${left}px`, top: `${top}px`, width: `${width}px`, height: `${height}px` });
        e.hidden = !shown;
    },
    pace(rung, rungs, text) {
        pace.max = String(rungs - 1);
        pace.value = String(rung);
        pace.title = text;
    },
    menu: (x, y, captions, enabled) => modal.menu(x, y, captions, enabled),
    ask: (id, kind, title, text) => modal.ask(id, kind, title, text),
    choose: (id, save, name, accept, into) => files.choose(id, save, name, accept, into),
    deliver: (id, bytes, name) => files.deliver(id, bytes, name),
    link(link) {
        history.replaceState(null, '', `#${link}`);
    },
    show() {},
};

function resize() {
    post(Event.Resize, innerWidth, innerHeight, devicePixelRatio || 1);
}

function buttonBit(button) {
    return [1, 4, 2][button] ?? 0;
}

function pointer(kind, e) {
    const ratio = devicePixelRatio || 1;
    post(kind, Math.floor(e.clientX * ratio), Math.floor(e.clientY * ratio), buttonBit(e.button), e.buttons & 7);
}

function frame() {
    if (painter.frame()) post(Event.SplashPainted);
    requestAnimationFrame(frame);
}

async function start() {
    mq = await createMosaiq({ page, noInitialRun: true });
    // For tools that drive the page: the editor's own C interface, read-only use intended.
    window.mosaiq = mq;
    painter = new Painter(mq, canvas);
    statusLine.style.font = painter.font(Font.Status, true);
    modal = new Modal(document.getElementById('modal'), post);
    files = new Files(mq, answer);

    canvas.addEventListener('pointerdown', (e) => {
        canvas.setPointerCapture(e.pointerId);
        pointer(Event.PointerDown, e);
    });
    canvas.addEventListener('pointermove', (e) => pointer(Event.PointerMove, e));
    canvas.addEventListener('pointerup', (e) => pointer(Event.PointerUp, e));
    canvas.addEventListener('contextmenu', (e) => e.preventDefault());
    pace.addEventListener('input', () => post(Event.SliderMove, Number(pace.value)));
    pace.addEventListener('pointermove', () => post(Event.SliderHover));
    addEventListener('resize', resize);
    addEventListener('beforeunload', (e) => {
        if (mq._mq_holds_content()) {
            e.preventDefault();
            e.returnValue = '';
        }
    });

    // The fragment is untrusted: no more of it than the longest link is handed on, so a longer
    // one is refused at once, by its length.
    const link = location.hash.slice(1, 2 + mq._mq_link_limit());
    mq.callMain(link ? [link] : []);
    resize();
    requestAnimationFrame(frame);
}

start();
