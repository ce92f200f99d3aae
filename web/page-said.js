// What a person who cannot see the panel or hear the beeps is told, in the
// reading's own words (web/PageExports.cpp): the selection and its readout
// ("Speed2 selected: 91") once it has held still for a moment, each call-out
// as it plays ("Speed1: single beep"), in one polite live region that is
// also shown; and which lamps are lit, kept up to date but never announced.
// It speaks only of changes, never of every pass.
"use strict";

const PageSaid = (function () {
    // Passes a selection must hold before it is said, half a second: longer
    // than a held press waits before it repeats (0.4 s), so that a held
    // press is said where it stops, not at every step.
    const steady = 9;
    let said = null, seen = "", since = 0, lit = "";

    function lampWords(lamps) {
        const on = lamps.map((lit, i) => lit ? i + 1 : 0).filter((n) => n > 0);
        return on.length === 0 ? "none" : on.length === 1 ? "" + on[0] : on.slice(0, -1).join(", ") + " and " + on[on.length - 1];
    }

    // After the passes of one frame: the call-outs they started, the
    // selection sentence and lamps the last one shows, and its number.
    function show(region, lampText, callouts, selection, lamps, pass) {
        const sentences = callouts.slice();
        if (selection !== seen) {
            seen = selection;
            since = pass;
        }
        if (said === null) said = seen; // the page's first look is no change
        if (seen && seen !== said && pass - since >= steady) {
            said = seen;
            sentences.unshift(seen);
        }
        if (sentences.length) {
            // A new node each time, so that a sentence said twice is said again.
            const node = document.createElement("span");
            node.textContent = sentences.join(". ");
            region.replaceChildren(node);
        }
        const words = lampWords(lamps);
        if (words !== lit) lampText.textContent = lit = words;
    }

    return { show: show, lampWords: lampWords };
})();
