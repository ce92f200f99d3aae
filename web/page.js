// The page around the gauge: the pass clock (18 passes a second, counted in
// passes, paced by the browser's animation frames), the canvas and its
// pointer, the keys and buttons, the call-outs through Web Audio and the
// settings folder kept in IndexedDB. Everything the gauge does is decided in
// the WebAssembly program (web/PageExports.cpp); this only carries it across.
"use strict";

var Module = (function () {
    const rate = 18;
    const settings = "/settings";
    const canvas = document.getElementById("panel");
    const context = canvas.getContext("2d");
    const status = document.getElementById("status");
    let image = null;
    let started = false;
    let firstFrame = null;
    let passes = 0;
    let pressed = false;
    let saving = false, saveAgain = false;

    // What the test and a curious reader can look at.
    const audio = { context: null, clips: {}, started: [] };
    window.lumivaneAudio = audio;
    // Every change of the lamps, with its pass and airspeed.
    const page = { ready: false, lampLog: [] };
    let lamps = "";
    window.lumivanePage = page;

    function say(text) { status.textContent = text; }

    // Cursor codes of the host's records: 1 up arrow, 2 down arrow, 5 hand.
    const arrow = (d) => "url(\"data:image/svg+xml," + encodeURIComponent(
        "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><path d='" + d +
        "' fill='white' stroke='black'/></svg>") + "\") 8 8";
    const cursors = {
        1: arrow("M8 1 L14 8 L10 8 L10 15 L6 15 L6 8 L2 8 Z") + ", n-resize",
        2: arrow("M8 15 L14 8 L10 8 L10 1 L6 1 L6 8 L2 8 Z") + ", s-resize",
        5: "pointer",
    };

    function panelPoint(event) {
        const box = canvas.getBoundingClientRect();
        return [Math.floor((event.clientX - box.left) * 100 / box.width),
                Math.floor((event.clientY - box.top) * 70 / box.height)];
    }

    // Browsers start sound only after a gesture: the first click or key.
    function startAudio() {
        if (audio.context || !window.AudioContext)
            return;
        audio.context = new AudioContext();
        const count = Module._page_clip_count();
        for (let i = 0; i < count; ++i) {
            const bytes = Module._page_clip_bytes(i), bits = Module._page_clip_bits(i);
            const channels = Module._page_clip_channels(i), data = Module._page_clip_data(i);
            const frames = Math.floor(bytes / (channels * bits / 8));
            const buffer = audio.context.createBuffer(channels, frames, Module._page_clip_rate(i));
            for (let c = 0; c < channels; ++c) {
                const out = buffer.getChannelData(c);
                for (let f = 0; f < frames; ++f) {
                    const at = data + (f * channels + c) * bits / 8;
                    out[f] = bits === 8 ? (Module.HEAPU8[at] - 128) / 128
                                        : ((Module.HEAPU8[at] | Module.HEAPU8[at + 1] << 8) << 16 >> 16) / 32768;
                }
            }
            audio.clips[Module.UTF8ToString(Module._page_clip_name(i))] = buffer;
        }
        document.getElementById("sound").textContent = "Sound is on.";
    }

    function play(clip, pass) {
        const buffer = audio.clips[clip];
        if (!audio.context || !buffer)
            return;
        const source = audio.context.createBufferSource();
        source.buffer = buffer;
        source.connect(audio.context.destination);
        source.start();
        audio.started.push({ clip: clip, pass: pass });
    }

    // The settings folder is written back after every handler that may have
    // changed it; one save at a time, and one more if asked meanwhile.
    function save() {
        if (saving) { saveAgain = true; return; }
        saving = true;
        Module.FS.syncfs(false, function (error) {
            saving = false;
            if (error) console.warn("the speeds could not be kept: " + error);
            if (saveAgain) { saveAgain = false; save(); }
        });
    }

    function show(changed) {
        const width = Module._page_frame_width(), height = Module._page_frame_height();
        if ((changed || !image) && width > 0) {
            if (!image) image = context.createImageData(width, height);
            image.data.set(Module.HEAPU8.subarray(Module._page_frame(), Module._page_frame() + width * height * 4));
            context.putImageData(image, 0, 0);
        }
        document.getElementById("airspeed").textContent = Module._page_airspeed().toFixed(1);
        for (let i = 1; i <= 3; ++i) {
            const speed = Module._page_speed(i);
            document.getElementById("speed" + i).textContent = speed < 0 ? "?" : speed;
        }
        document.getElementById("pass").textContent = passes;
    }

    // As many passes as the clock says are due; a page that was hidden for
    // long resumes without flying the missed seconds all at once.
    function frame(now) {
        if (firstFrame === null) firstFrame = now;
        let due = Math.floor((now - firstFrame) / 1000 * rate) + 1;
        if (due - passes > rate) {
            firstFrame = now - (passes / rate) * 1000;
            due = passes + 1;
        }
        let stepped = false, changed = false;
        while (passes < due) {
            Module._page_step();
            ++passes;
            stepped = true;
            if (Module._page_frame_changed()) changed = true;
            const plays = Module._page_take_plays();
            for (let i = 0; i < plays; ++i)
                play(Module.UTF8ToString(Module._page_play_clip(i)), passes - 1);
            const now = [1, 2, 3].map((i) => Module._page_lamp(i)).join("");
            if (now !== lamps) {
                lamps = now;
                page.lampLog.push({ pass: passes - 1, airspeed: Module._page_airspeed(), lamps: now });
            }
        }
        if (stepped) show(changed);
        if (Module._page_files_changed()) save();
        requestAnimationFrame(frame);
    }

    function key(code) {
        if (started) Module._page_key(code);
    }

    function listen() {
        canvas.addEventListener("pointerdown", function (event) {
            startAudio();
            if (event.button !== 0) return; // only the left button, and touch
            event.preventDefault();
            canvas.focus();
            canvas.setPointerCapture(event.pointerId);
            pressed = true;
            const [x, y] = panelPoint(event);
            Module._page_down(x, y);
        });
        const release = function () {
            if (!pressed) return;
            pressed = false;
            Module._page_up();
        };
        canvas.addEventListener("pointerup", release);
        canvas.addEventListener("pointercancel", release);
        canvas.addEventListener("lostpointercapture", release);
        canvas.addEventListener("pointermove", function (event) {
            const [x, y] = panelPoint(event);
            canvas.style.cursor = cursors[Module._page_cursor(x, y)] || "default";
        });
        canvas.addEventListener("contextmenu", (event) => event.preventDefault());
        document.addEventListener("pointerdown", startAudio);
        const keys = { ArrowUp: 0, ArrowDown: 1, PageUp: 2, PageDown: 3, Home: 4, t: 5, T: 5 };
        document.addEventListener("keydown", function (event) {
            startAudio();
            if (!(event.key in keys) || event.ctrlKey || event.altKey || event.metaKey) return;
            event.preventDefault();
            key(keys[event.key]);
        });
        for (const button of document.querySelectorAll("button[data-key]"))
            button.addEventListener("click", () => key(Number(button.dataset.key)));
        for (const button of document.querySelectorAll("button[data-scale]"))
            button.addEventListener("click", function () {
                const scale = Number(button.dataset.scale);
                canvas.style.width = 100 * scale + "px";
                canvas.style.height = 70 * scale + "px";
            });
        document.getElementById("reset").addEventListener("click", function () {
            if (!started) return;
            // The module keeps the speeds it read until it is loaded afresh.
            started = false;
            page.ready = false;
            Module._page_reset();
            Module.FS.syncfs(false, () => location.reload());
        });
    }

    return {
        // The settings folder is read back from IndexedDB before the gauge is
        // installed, so that it finds the speeds a pilot set last time.
        preRun: [function () {
            Module.FS.mkdir(settings);
            Module.FS.mount(Module.FS.filesystems.IDBFS, {}, settings);
            Module.addRunDependency("settings");
            Module.FS.syncfs(true, function (error) {
                if (error) console.warn("the kept speeds could not be read: " + error);
                Module.removeRunDependency("settings");
            });
        }],
        onRuntimeInitialized: function () {
            if (!Module.ccall("page_start", "number", ["string"], [settings])) {
                say("The gauge could not be installed: " + Module.UTF8ToString(Module._page_problem()));
                return;
            }
            started = true;
            listen();
            page.ready = true;
            page.readout = () => Module.UTF8ToString(Module._page_readout());
            page.lamps = () => [1, 2, 3].map((i) => Module._page_lamp(i));
            page.marks = () => [1, 2, 3].map((i) => Module._page_mark(i));
            page.speeds = () => [1, 2, 3].map((i) => Module._page_speed(i));
            page.passes = () => passes;
            page.saving = () => saving || saveAgain;
            // Milliseconds for one pass with painting, averaged over `count`.
            page.benchmark = (count) => Module._page_measure(count);
            say("The gauge is installed.");
            show(true);
            requestAnimationFrame(frame);
        },
    };
})();
