// The pop-up menu and the questions, in the page. Both are modal: while one is open it covers the
// page, so nothing else can be pressed, and the editor waits for its answer (a run included).
// Every text comes from the editor and is set as text, never as markup.

function element(tag, text) {
    const e = document.createElement(tag);
    if (text !== undefined) e.textContent = text;
    return e;
}

export class Modal {
    // `post(kind, a, b)` hands the answer to the editor.
    constructor(root, post) {
        this.root = root;
        this.post = post;
        this.open = []; // innermost last
        root.addEventListener('contextmenu', (e) => e.preventDefault());
        document.addEventListener('keydown', (e) => this.top()?.key?.(e));
    }

    top() {
        return this.open[this.open.length - 1];
    }

    push(layer) {
        this.open.push(layer);
        this.root.append(layer.node);
        this.root.hidden = false;
        layer.focus?.focus();
    }

    close(layer) {
        layer.node.remove();
        this.open = this.open.filter((l) => l !== layer);
        this.root.hidden = this.open.length === 0;
    }

    // Items in the menu's order, separators after the third and the fifth.
    menu(x, y, captions, enabled) {
        const shade = element('div');
        shade.className = 'clear';
        const menu = element('div');
        menu.className = 'menu';
        menu.setAttribute('role', 'menu');
        const layer = { node: shade };
        const choose = (item) => {
            this.close(layer);
            this.post(7, item, 0);
        };
        captions.forEach((caption, item) => {
            if (item === 3 || item === 5) menu.append(element('hr'));
            const b = element('button', caption);
            b.setAttribute('role', 'menuitem');
            b.disabled = !(enabled & (1 << item));
            b.addEventListener('click', (e) => {
                e.stopPropagation();
                choose(item);
            });
            menu.append(b);
        });
        shade.append(menu);
        shade.addEventListener('pointerdown', (e) => {
            if (!menu.contains(e.target)) choose(-1);
        });
        layer.key = (e) => {
            if (e.key === 'Escape') choose(-1);
        };
        this.push(layer);
        // At the pointer, kept inside the page.
        const w = menu.offsetWidth, h = menu.offsetHeight;
        menu.style.left = `${Math.max(0, Math.min(x, innerWidth - w))}px`;
        menu.style.top = `${Math.max(0, Math.min(y, innerHeight - h))}px`;
    }

    // kind 0: Yes and No; 1: OK and Cancel; 2: OK alone. The first button is the default.
    ask(id, kind, title, text) {
        const shade = element('div');
        shade.className = 'shade';
        const dialog = element('div');
        dialog.className = 'dialog';
        dialog.setAttribute('role', 'alertdialog');
        dialog.setAttribute('aria-modal', 'true');
        const heading = element('h1', title);
        const prompt = element('p', text);
        const buttons = element('div');
        dialog.append(heading, prompt, buttons);
        shade.append(dialog);
        const layer = { node: shade };
        const answer = (yes) => {
            this.close(layer);
            this.post(8, id, yes ? 1 : 0);
        };
        const names = [['Yes', 'No'], ['OK', 'Cancel'], ['OK']][kind];
        names.forEach((name, i) => {
            const b = element('button', name);
            b.addEventListener('click', () => answer(i === 0));
            buttons.append(b);
        });
        layer.focus = buttons.firstChild;
        layer.key = (e) => {
            if (e.key === 'Escape') answer(false);
        };
        this.push(layer);
    }
}
