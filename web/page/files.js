// The browser's side of Load and Save. Load reads the chosen file into the editor's own file
// system, where the editor's reader reads it; Save writes the bytes the editor's writer made, with
// the browser's save picker where there is one, else as a download.

export class Files {
    // `answer(id, ok, text)` tells the editor how a request ended.
    constructor(mq, answer) {
        this.mq = mq;
        this.answer = answer;
        this.handle = null; // where the next delivered save goes, when a picker chose it
    }

    choose(id, save, name, accept, into) {
        if (save) this.chooseSave(id, name, accept);
        else this.chooseOpen(id, accept, into);
    }

    chooseOpen(id, accept, into) {
        const input = document.createElement('input');
        input.type = 'file';
        input.accept = accept;
        input.addEventListener('cancel', () => this.answer(id, false, ''));
        input.addEventListener('change', async () => {
            const file = input.files[0];
            if (!file) return this.answer(id, false, '');
            // Up to one byte past the reader's limit: the reader itself decides what is too large.
            const bytes = new Uint8Array(await file.slice(0, this.mq._mq_read_limit()).arrayBuffer());
            this.mq.FS.writeFile(into, bytes);
            this.answer(id, true, file.name);
        });
        input.click();
    }

    async chooseSave(id, name, accept) {
        this.handle = null;
        if (typeof window.showSaveFilePicker !== 'function') return this.answer(id, true, name);
        try {
            this.handle = await window.showSaveFilePicker({
                suggestedName: name,
                types: [{ description: 'Mosaiq files', accept: { 'application/octet-stream': [accept] } }],
            });
            this.answer(id, true, this.handle.name);
        } catch {
            this.answer(id, false, ''); // cancelled
        }
    }

    // `bytes` is null when the save wrote nothing.
    async deliver(id, bytes, name) {
        const handle = this.handle;
        this.handle = null;
        if (bytes === null) return;
        if (!handle) {
            const a = document.createElement('a');
            a.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
            a.download = name;
            a.click();
            setTimeout(() => URL.revokeObjectURL(a.href), 0);
            return this.answer(id, true, '');
        }
        try {
            const out = await handle.createWritable();
            await out.write(bytes);
            await out.close();
            this.answer(id, true, '');
        } catch (e) {
            this.answer(id, false, e.message);
        }
    }
}
