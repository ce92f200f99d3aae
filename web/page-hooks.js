// What the page's test and a curious reader can look at, as
// window.lumivanePage: whether the gauge is running, every change of the
// lamps with its pass, airspeed and the sound clock's time, and the gauge's
// readings on demand. It only reads; nothing here drives the page.
"use strict";

const PageHooks = (function () {
    const page = { ready: false, lampLog: [], link: PageLink };
    let gauge = null, lamps = "";
    window.lumivanePage = page;

    function started(module, passes) {
        gauge = module;
        const each = (read) => () => Array.from({ length: gauge._page_speed_count() }, (_, i) => read(i + 1));
        page.readout = () => gauge.UTF8ToString(gauge._page_readout());
        page.lamps = each((i) => gauge._page_lamp(i));
        page.marks = each((i) => gauge._page_mark(i));
        page.speeds = each((i) => gauge._page_speed(i));
        page.passes = passes;
        page.saving = PageStore.saving;
        // Milliseconds for one pass with painting, averaged over `count`.
        page.benchmark = (count) => gauge._page_measure(count);
        page.ready = true;
    }

    // After each pass flown.
    function passed(pass) {
        const lit = page.lamps().join("");
        if (lit === lamps) return;
        lamps = lit;
        page.lampLog.push({ pass: pass, airspeed: gauge._page_airspeed(), lamps: lit, audioTime: PageAudio.now() });
    }

    return { page: page, started: started, passed: passed, stopped: () => { page.ready = false; } };
})();
