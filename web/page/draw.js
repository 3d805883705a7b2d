// Draws what the editor's rules computed, in device pixels of the canvas: the window, the frame
// with its bars, the palette, and the splash while it is up. It reads the records the boundary
// fills (see PageBoundary.cpp) and decides nothing about where or how big anything is.

// A blue-green-red colour as CSS takes it.
export function css(bgr) {
    const hex = (v) => v.toString(16).padStart(2, '0');
    return `#${hex(bgr & 255)}${hex((bgr >> 8) & 255)}${hex((bgr >> 16) & 255)}`;
}

// The fonts the editor names: the splash's three labels are 0 to 2.
export const Font = { Bar: 3, Status: 4 };

export class Painter {
    constructor(mq, canvas) {
        this.mq = mq;
        this.canvas = canvas;
        this.g = canvas.getContext('2d', { alpha: false });
    }

    // Font `index` (see Font) sized for the canvas, or with `css` for the page's own elements.
    font(index, css = false) {
        return this.mq.UTF8ToString(this.mq._mq_font(index, css ? 0 : 1));
    }

    // A record of `n` whole numbers, copied before the next call overwrites it.
    record(ptr, n) {
        return Array.from(this.mq.HEAP32.subarray(ptr >> 2, (ptr >> 2) + n));
    }

    // Draws whatever changed since the last frame; returns true when the splash was drawn.
    frame() {
        const n = this.mq._mq_take_dirty();
        if (n < 0) return this.all();
        const list = this.mq._mq_dirty_list() >> 2;
        const panel = this.record(this.mq._mq_panel(), 5);
        for (let k = 0; k < n; ++k) this.bar(this.mq.HEAP32[list + k], panel);
        return false;
    }

    all() {
        const [width, height, windowColour, splash] = this.record(this.mq._mq_canvas(), 4);
        if (this.canvas.width !== width || this.canvas.height !== height) {
            this.canvas.width = width;
            this.canvas.height = height;
        }
        const g = this.g;
        document.body.style.background = css(windowColour);
        g.fillStyle = css(windowColour);
        g.fillRect(0, 0, width, height);
        if (splash) {
            this.splash();
            return true;
        }
        for (let i = 0; i < 8; ++i) {
            const [l, t, r, b, fill, border] = this.record(this.mq._mq_palette(i), 6);
            g.fillStyle = css(fill);
            g.fillRect(l, t, r - l, b - t);
            if (border) this.outline(l, t, r, b);
        }
        const panel = this.record(this.mq._mq_panel(), 5);
        const [l, t, r, b, colour] = panel;
        g.fillStyle = css(colour);
        g.fillRect(l, t, r - l, b - t);
        for (let i = 1; i <= 1024; ++i) this.bar(i, panel);
        return false;
    }

    // One device pixel of black just inside the rectangle.
    outline(l, t, r, b) {
        this.g.strokeStyle = '#000';
        this.g.lineWidth = 1;
        this.g.strokeRect(l + 0.5, t + 0.5, r - l - 1, b - t - 1);
    }

    bar(i, panel) {
        const [l, t, r, b, fill, captionColour, border, x] = this.record(this.mq._mq_bar(i), 8);
        if (r <= l || b <= t) return;
        const g = this.g;
        g.fillStyle = css(fill);
        g.fillRect(l, t, r - l, b - t);
        if (border) this.outline(l, t, r, b);
        if (x) {
            g.save();
            g.beginPath();
            g.rect(l, t, r - l, b - t);
            g.clip();
            g.fillStyle = css(captionColour);
            g.font = this.font(Font.Bar);
            g.textAlign = 'center';
            g.textBaseline = 'middle';
            g.fillText('X', (l + r) / 2, (t + b) / 2);
            g.restore();
        }
    }

    splash() {
        const g = this.g;
        const [l, t, r, b, back, tile, tiles] = this.record(this.mq._mq_splash(), 7);
        g.fillStyle = css(back);
        g.fillRect(l, t, r - l, b - t);
        g.fillStyle = css(tile);
        for (let i = 1; i <= tiles; ++i) {
            const [tl, tt, tr, tb] = this.record(this.mq._mq_splash_tile(i), 4);
            g.fillRect(tl, tt, tr - tl, tb - tt);
        }
        for (let i = 0; i < 3; ++i) {
            const [ll, lt, lr, lb, labelBack, labelText] = this.record(this.mq._mq_splash_label(i), 6);
            g.fillStyle = css(labelBack);
            g.fillRect(ll, lt, lr - ll, lb - lt);
            g.fillStyle = css(labelText);
            g.font = this.font(i);
            g.textAlign = 'right';
            g.textBaseline = 'top';
            g.fillText(this.mq.UTF8ToString(this.mq._mq_splash_text(i)), lr, lt);
        }
    }
}
