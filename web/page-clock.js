// The pass clock: the gauge is flown at a fixed rate of passes a second,
// counted in passes and paced by the browser's animation frames, so that a
// late frame flies the passes it missed and the gauge's time keeps to the
// wall clock's. A page that was hidden for long resumes where it stopped,
// without flying the missed seconds all at once.
"use strict";

const PageClock = (function () {
    function create(rate) {
        let first = null, passes = 0;
        return {
            // How many passes are due at a frame's time (milliseconds), now
            // counted as flown.
            take: function (time) {
                if (first === null) first = time;
                let due = Math.floor((time - first) / 1000 * rate) + 1;
                if (due - passes > rate) {
                    first = time - (passes / rate) * 1000;
                    due = passes + 1;
                }
                const count = Math.max(due - passes, 0);
                passes += count;
                return count;
            },
            passes: () => passes,
        };
    }

    return { create: create };
})();
