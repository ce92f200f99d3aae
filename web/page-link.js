// Speeds carried in a link: "#speeds=85,95,105" sets the kept speeds before
// the gauge starts, and a button makes such a link from the speeds beside
// the gauge. A link is taken only if the gauge's own adjusts could have set
// its speeds, which the program judges and writes where the gauge keeps them;
// anything else is refused whole, with the reason, and never changes a kept
// speed.
"use strict";

const PageLink = (function () {
    const prefix = "speeds=";
    let gauge = null; // the program, which knows what the adjusts allow and where the speeds are kept

    // null when the fragment carries no speeds; else { speeds } or { problem }.
    function read(fragment) {
        const text = fragment.replace(/^#/, "");
        if (!text.startsWith(prefix))
            return null;
        // A few speeds take a dozen characters; a longer text is refused
        // before it is split or quoted back.
        if (text.length > prefix.length + 32)
            return { problem: "the link's speeds are " + (text.length - prefix.length) + " characters long" };
        const list = text.slice(prefix.length);
        const problem = gauge.UTF8ToString(gauge.ccall("page_speeds_problem", "number", ["string"], [list]));
        return problem ? { problem: problem } : { speeds: list.split(",").map(Number) };
    }

    // Replaces the kept speeds; false, with nothing written, if the folder
    // cannot be written.
    function write(folder, speeds) {
        return gauge.ccall("page_set_speeds", "number", ["string", "string"], [folder, speeds.join(",")]) === 1;
    }

    function make(speeds) {
        return location.href.replace(/#.*$/, "") + "#" + prefix + speeds.join(",");
    }

    function words(speeds) {
        return speeds.slice(0, -1).join(", ") + " and " + speeds[speeds.length - 1];
    }

    // The button: a link to the speeds beside the gauge, copied where the
    // browser lets a page write the clipboard, and always shown to copy by hand.
    function listen(button, field, speedsNow, say) {
        button.addEventListener("click", function () {
            const speeds = speedsNow();
            const unknown = speeds.findIndex((speed) => speed < 0);
            if (unknown >= 0) {
                say("Speed" + (unknown + 1) + " is not known yet: select it once so the readout shows it.");
                return;
            }
            const link = make(speeds);
            field.value = link;
            field.parentElement.hidden = false;
            field.select();
            const copied = navigator.clipboard && window.isSecureContext
                ? navigator.clipboard.writeText(link) : Promise.reject(new Error("no clipboard"));
            copied.then(() => say("A link to the speeds " + words(speeds) + " is copied."),
                        () => say("Copy the link to the speeds " + words(speeds) + " from the field."));
        });
    }

    // Speeds from a link in the address replace the kept ones before the
    // gauge reads them; the link then leaves the address, so that a reload
    // keeps what the pilot adjusts afterwards. null when the address has
    // none; else what became of them, to say, and whether they were written.
    // `module`: the program, running, its gauge not yet started.
    function take(module, folder) {
        gauge = module;
        const link = read(location.hash);
        if (!link) return null;
        history.replaceState(null, "", location.href.replace(/#.*$/, ""));
        if (link.problem)
            return { said: "The link's speeds were not used: " + link.problem + ". The kept speeds are unchanged.",
                     written: false };
        if (write(folder, link.speeds))
            return { said: "The speeds " + words(link.speeds) + " from the link are set and kept in this browser.",
                     written: true };
        return { said: "The link's speeds could not be kept in this browser.", written: false };
    }

    return { read: read, write: write, make: make, words: words, listen: listen, take: take };
})();
