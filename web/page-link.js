// Speeds carried in a link: "#speeds=85,95,105" sets the three kept speeds
// before the gauge loads, and a button makes such a link from the speeds
// beside the gauge. A link is taken only if the gauge's own adjusts could
// have set its speeds; anything else is refused whole, with the reason, and
// never changes a kept speed.
"use strict";

const PageLink = (function () {
    const prefix = "speeds=";
    // What the adjusts allow: each speed in its range, each above the one
    // before (settings/ keeps Speed1 < Speed2 < Speed3 within 0..200).
    const ranges = [[0, 198], [1, 199], [2, 200]];
    // The settings files as the gauge names them (C:\pelmo1, C:\pelmo2,
    // C:\pelmo) inside the page's settings folder; each holds the bare number.
    const files = ["C:\\pelmo1", "C:\\pelmo2", "C:\\pelmo"];

    // null when the fragment carries no speeds; else { speeds } or { problem }.
    function read(fragment) {
        const text = fragment.replace(/^#/, "");
        if (!text.startsWith(prefix))
            return null;
        // Three speeds take at most 11 characters; a longer text is refused
        // before it is split or quoted back.
        if (text.length > prefix.length + 32)
            return { problem: "the link's speeds are " + (text.length - prefix.length) + " characters long" };
        const parts = text.slice(prefix.length).split(",");
        if (parts.length !== 3)
            return { problem: "a link gives exactly three speeds, this one gives " + parts.length };
        const speeds = [];
        for (let i = 0; i < 3; ++i) {
            const [low, high] = ranges[i];
            const part = parts[i];
            const speed = /^[0-9]{1,3}$/.test(part) ? Number(part) : NaN;
            if (!(speed >= low && speed <= high))
                return { problem: "Speed" + (i + 1) + " must be a whole number from " + low + " to " + high +
                                  ", the link gives \u201c" + part + "\u201d" };
            if (i > 0 && speed <= speeds[i - 1])
                return { problem: "Speed" + (i + 1) + " must be above Speed" + i + ", the link gives " +
                                  speeds[i - 1] + " and " + speed };
            speeds.push(speed);
        }
        return { speeds: speeds };
    }

    // Replaces the kept speeds; false, with nothing written, if the folder
    // cannot be written.
    function write(fs, folder, speeds) {
        try {
            files.forEach((file, i) => fs.writeFile(folder + "/" + file, String(speeds[i])));
            return true;
        } catch (error) {
            console.warn("the link's speeds could not be written: " + error);
            return false;
        }
    }

    function make(speeds) {
        return location.href.replace(/#.*$/, "") + "#" + prefix + speeds.join(",");
    }

    function words(speeds) {
        return speeds[0] + ", " + speeds[1] + " and " + speeds[2];
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
    function take(fs, folder) {
        const link = read(location.hash);
        if (!link) return null;
        history.replaceState(null, "", location.href.replace(/#.*$/, ""));
        if (link.problem)
            return { said: "The link's speeds were not used: " + link.problem + ". The kept speeds are unchanged.",
                     written: false };
        if (write(fs, folder, link.speeds))
            return { said: "The speeds " + words(link.speeds) + " from the link are set and kept in this browser.",
                     written: true };
        return { said: "The link's speeds could not be kept in this browser.", written: false };
    }

    return { read: read, write: write, make: make, words: words, listen: listen, take: take };
})();
