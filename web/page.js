// The page around the gauge. Everything the gauge does is decided in the
// WebAssembly program (web/PageExports.cpp); this starts it, flies the
// passes the clock says are due, shows the frame and the readings beside it,
// and joins the page's other jobs: the clock, the pointer, the kept speeds,
// links and the test's hooks (page-clock.js, page-pointer.js, page-store.js,
// page-link.js, page-hooks.js), and sound, the keys and their buttons, what
// is said, the panel's size and offline use (page-audio.js, page-keys.js,
// page-said.js, page-size.js, page-offline.js). Every number of the gauge's
// (the pass rate, the panel's size, how many speeds) comes from the program.
"use strict";

var Module = (function () {
    let clock = null; // at the program's pass rate, once it runs
    const canvas = document.getElementById("panel");
    const context = canvas.getContext("2d");
    const status = document.getElementById("status");
    const said = document.getElementById("said"), lampText = document.getElementById("lamps");
    const page = PageHooks.page;
    let image = null;
    let started = false;
    let fromLink = null; // what a link in the address did to the kept speeds

    function say(text) { status.textContent = text; }

    page.offline = PageOffline.register(document.getElementById("update"), document.getElementById("take-update"));
    PageAudio.watch(function (state) {
        document.getElementById("sound").textContent = state === "running" ? "Sound is on."
            : "Sound starts with your next tap, click or key.";
    });

    function speeds() {
        return Array.from({ length: Module._page_speed_count() }, (_, i) => Module._page_speed(i + 1));
    }

    function show(changed) {
        const width = Module._page_frame_width(), height = Module._page_frame_height();
        if ((changed || !image) && width > 0) {
            if (!image) image = context.createImageData(width, height);
            image.data.set(Module.HEAPU8.subarray(Module._page_frame(), Module._page_frame() + width * height * 4));
            context.putImageData(image, 0, 0);
        }
        write("airspeed", Module._page_airspeed().toFixed(1));
        speeds().forEach((speed, i) => write("speed" + (i + 1), speed < 0 ? "?" : "" + speed));
        write("pass", "" + clock.passes());
    }

    // A reading is written only when it changes: every write is a layout.
    function write(id, text) {
        const element = document.getElementById(id);
        if (element.textContent !== text) element.textContent = text;
    }

    function frame(time) {
        const first = clock.passes(), count = clock.take(time);
        let changed = false;
        const callouts = [];
        for (let pass = first; pass < first + count; ++pass) {
            Module._page_step();
            if (Module._page_frame_changed()) changed = true;
            const plays = Module._page_take_plays();
            for (let i = 0; i < plays; ++i) {
                PageAudio.play(Module.UTF8ToString(Module._page_play_clip(i)), pass);
                callouts.push(Module.UTF8ToString(Module._page_play_callout(i)));
            }
            PageHooks.passed(pass);
        }
        if (count) {
            show(changed);
            PageSaid.show(said, lampText, callouts, Module.UTF8ToString(Module._page_selection()),
                          page.lamps(), clock.passes());
        }
        if (Module._page_files_changed()) PageStore.save(Module.FS);
        requestAnimationFrame(frame);
    }

    function listen() {
        const gesture = () => PageAudio.start(Module);
        for (const kind of ["pointerdown", "pointerup", "keydown"])
            document.addEventListener(kind, gesture, true);
        PagePointer.listen(canvas, Module);
        page.keys = PageKeys.listen(Module, () => started, document.getElementById("speed-keys"),
                                    document.getElementById("airspeed-keys"), document.getElementById("keys"));
        PageLink.listen(document.getElementById("copy-link"), document.getElementById("link"), speeds, say);
        document.getElementById("reset").addEventListener("click", function () {
            if (!started) return;
            started = false;
            PageHooks.stopped();
            Module._page_reset();
            PageStore.reload(Module.FS);
        });
    }

    return {
        preRun: [function () { PageStore.mount(Module); }],
        onRuntimeInitialized: function () {
            clock = PageClock.create(Module._page_pass_rate());
            // A link's speeds replace the kept ones before the gauge reads them.
            fromLink = PageLink.take(Module, PageStore.folder);
            if (!Module.ccall("page_start", "number", ["string"], [PageStore.folder])) {
                say("The gauge could not be installed: " + Module.UTF8ToString(Module._page_problem()));
                return;
            }
            // The gauge's size is its own, known once it is loaded.
            canvas.width = Module._page_panel_width();
            canvas.height = Module._page_panel_height();
            PageSize.listen(canvas, document.querySelectorAll("button[data-scale]"));
            started = true;
            listen();
            if (fromLink && fromLink.written) PageStore.save(Module.FS);
            PageHooks.started(Module, clock.passes);
            say("The gauge is installed." + (fromLink ? " " + fromLink.said : ""));
            show(true);
            requestAnimationFrame(frame);
        },
    };
})();
