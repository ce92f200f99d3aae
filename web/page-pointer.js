// The pointer on the panel: a press of the left button or of a finger goes
// to the gauge's mouse areas at the panel's pixel, one press at a time, and
// is let go when the pointer is released, cancelled or captured away; over
// the panel, the cursor is the one the gauge's area asks for. The panel's
// pixels are the canvas's own.
"use strict";

const PagePointer = (function () {
    // The cursors the host's areas ask for, by the program's names for them.
    const arrow = (d) => "url(\"data:image/svg+xml," + encodeURIComponent(
        "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><path d='" + d +
        "' fill='white' stroke='black'/></svg>") + "\") 8 8";
    const cursors = {
        up: arrow("M8 1 L14 8 L10 8 L10 15 L6 15 L6 8 L2 8 Z") + ", n-resize",
        down: arrow("M8 15 L14 8 L10 8 L10 1 L6 1 L6 8 L2 8 Z") + ", s-resize",
        hand: "pointer",
    };

    function listen(canvas, gauge) {
        let pressed = null; // the pointer holding a press

        function panelPoint(event) {
            const box = canvas.getBoundingClientRect();
            return [Math.floor((event.clientX - box.left) * canvas.width / box.width),
                    Math.floor((event.clientY - box.top) * canvas.height / box.height)];
        }

        function release(event) {
            if (pressed === null || (event && event.pointerId !== pressed)) return;
            pressed = null;
            gauge._page_up();
        }

        canvas.addEventListener("pointerdown", function (event) {
            // The left button or a finger, one press at a time.
            if (event.button !== 0 || pressed !== null) return;
            event.preventDefault();
            canvas.focus();
            canvas.setPointerCapture(event.pointerId);
            pressed = event.pointerId;
            const [x, y] = panelPoint(event);
            gauge._page_down(x, y);
        });
        canvas.addEventListener("pointerup", release);
        canvas.addEventListener("pointercancel", release);
        canvas.addEventListener("lostpointercapture", release);
        canvas.addEventListener("pointermove", function (event) {
            const [x, y] = panelPoint(event);
            // A held mouse button keeps its press anywhere, as the
            // simulator's does; a finger that slides off the panel lets go.
            if (event.pointerId === pressed && event.pointerType !== "mouse" &&
                (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height)) {
                release(event);
                return;
            }
            canvas.style.cursor = cursors[gauge.UTF8ToString(gauge._page_cursor(x, y))] || "default";
        });
        canvas.addEventListener("contextmenu", (event) => event.preventDefault());
    }

    return { listen: listen };
})();
