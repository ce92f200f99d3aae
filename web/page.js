// The page around the gauge: the pass clock (18 passes a second, counted in
// passes, paced by the browser's animation frames), the canvas and its
// pointer, the keys and buttons, and the settings folder kept in IndexedDB.
// Everything the gauge does is decided in the WebAssembly program
// (web/PageExports.cpp); this only carries it across. Sound, the panel's
// size, links with speeds and offline use are page-audio.js, page-size.js,
// page-link.js and page-offline.js.
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
    let pressed = null; // the pointer holding a press
    let saving = false, saveAgain = false;
    let fromLink = ""; // what a link in the address did to the kept speeds
    let linkWritten = false;

    // What the test and a curious reader can look at: every change of the
    // lamps, with its pass, airspeed and the sound clock's time.
    const page = { ready: false, lampLog: [], link: PageLink };
    let lamps = "";
    window.lumivanePage = page;

    function say(text) { status.textContent = text; }

    PageSize.listen(canvas, document.querySelectorAll("button[data-scale]"));
    page.offline = PageOffline.register(document.getElementById("update"), document.getElementById("take-update"));
    PageAudio.watch(function (state) {
        document.getElementById("sound").textContent = state === "running" ? "Sound is on."
            : "Sound starts with your next tap, click or key.";
    });

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

    function speeds() {
        return [1, 2, 3].map((i) => Module._page_speed(i));
    }

    function show(changed) {
        const width = Module._page_frame_width(), height = Module._page_frame_height();
        if ((changed || !image) && width > 0) {
            if (!image) image = context.createImageData(width, height);
            image.data.set(Module.HEAPU8.subarray(Module._page_frame(), Module._page_frame() + width * height * 4));
            context.putImageData(image, 0, 0);
        }
        document.getElementById("airspeed").textContent = Module._page_airspeed().toFixed(1);
        speeds().forEach(function (speed, i) {
            document.getElementById("speed" + (i + 1)).textContent = speed < 0 ? "?" : speed;
        });
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
                PageAudio.play(Module.UTF8ToString(Module._page_play_clip(i)), passes - 1);
            const now = [1, 2, 3].map((i) => Module._page_lamp(i)).join("");
            if (now !== lamps) {
                lamps = now;
                page.lampLog.push({ pass: passes - 1, airspeed: Module._page_airspeed(), lamps: now,
                                    audioTime: PageAudio.now() });
            }
        }
        if (stepped) show(changed);
        if (Module._page_files_changed()) save();
        requestAnimationFrame(frame);
    }

    function key(code) {
        if (started) Module._page_key(code);
    }

    function release(event) {
        if (pressed === null || (event && event.pointerId !== pressed)) return;
        pressed = null;
        Module._page_up();
    }

    function listen() {
        const gesture = () => PageAudio.start(Module);
        for (const kind of ["pointerdown", "pointerup", "keydown"])
            document.addEventListener(kind, gesture, true);
        canvas.addEventListener("pointerdown", function (event) {
            // The left button or a finger, one press at a time.
            if (event.button !== 0 || pressed !== null) return;
            event.preventDefault();
            canvas.focus();
            canvas.setPointerCapture(event.pointerId);
            pressed = event.pointerId;
            const [x, y] = panelPoint(event);
            Module._page_down(x, y);
        });
        canvas.addEventListener("pointerup", release);
        canvas.addEventListener("pointercancel", release);
        canvas.addEventListener("lostpointercapture", release);
        canvas.addEventListener("pointermove", function (event) {
            const [x, y] = panelPoint(event);
            // A held mouse button keeps its press anywhere, as the
            // simulator's does; a finger that slides off the panel lets go.
            if (event.pointerId === pressed && event.pointerType !== "mouse" &&
                (x < 0 || y < 0 || x >= 100 || y >= 70)) {
                release(event);
                return;
            }
            canvas.style.cursor = cursors[Module._page_cursor(x, y)] || "default";
        });
        canvas.addEventListener("contextmenu", (event) => event.preventDefault());
        const keys = { ArrowUp: 0, ArrowDown: 1, PageUp: 2, PageDown: 3, Home: 4, t: 5, T: 5 };
        document.addEventListener("keydown", function (event) {
            if (!(event.key in keys) || event.ctrlKey || event.altKey || event.metaKey) return;
            event.preventDefault();
            key(keys[event.key]);
        });
        for (const button of document.querySelectorAll("button[data-key]"))
            button.addEventListener("click", () => key(Number(button.dataset.key)));
        PageLink.listen(document.getElementById("copy-link"), document.getElementById("link"), speeds, say);
        document.getElementById("reset").addEventListener("click", function () {
            if (!started) return;
            // The module keeps the speeds it read until it is loaded afresh.
            started = false;
            page.ready = false;
            Module._page_reset();
            Module.FS.syncfs(false, () => location.reload());
        });
    }

    // Speeds from a link replace the kept ones before the gauge reads them;
    // the link then leaves the address, so that a reload keeps what the
    // pilot adjusts afterwards.
    function takeLink() {
        const link = PageLink.read(location.hash);
        if (!link) return;
        history.replaceState(null, "", location.href.replace(/#.*$/, ""));
        if (link.problem)
            fromLink = " The link's speeds were not used: " + link.problem + ". The kept speeds are unchanged.";
        else if ((linkWritten = PageLink.write(Module.FS, settings, link.speeds)))
            fromLink = " The speeds " + PageLink.words(link.speeds) + " from the link are set and kept in this browser.";
        else
            fromLink = " The link's speeds could not be kept in this browser.";
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
                takeLink();
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
            if (linkWritten) save();
            page.ready = true;
            page.readout = () => Module.UTF8ToString(Module._page_readout());
            page.lamps = () => [1, 2, 3].map((i) => Module._page_lamp(i));
            page.marks = () => [1, 2, 3].map((i) => Module._page_mark(i));
            page.speeds = speeds;
            page.passes = () => passes;
            page.saving = () => saving || saveAgain;
            // Milliseconds for one pass with painting, averaged over `count`.
            page.benchmark = (count) => Module._page_measure(count);
            say("The gauge is installed." + fromLink);
            show(true);
            requestAnimationFrame(frame);
        },
    };
})();
