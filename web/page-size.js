// The panel's size on the screen: always a whole number of device pixels per
// panel pixel, so that every panel pixel is drawn as an equal square at any
// devicePixelRatio, and never wider or taller than the window leaves room
// for. By default it takes the most room it can; the size buttons offer only
// the sizes that fit, and are weighed again when the window changes. The
// panel's own size is the canvas's.
"use strict";

const PageSize = (function () {
    let chosen = 0; // CSS pixels per panel pixel asked for; 0 for the most that fits

    // Device pixels per panel pixel that fit the width and height left.
    function fitting(canvas) {
        const panelWidth = canvas.width, panelHeight = canvas.height;
        const ratio = window.devicePixelRatio || 1;
        const width = canvas.parentElement.clientWidth;
        const height = document.documentElement.clientHeight - 16;
        return Math.max(1, Math.floor(Math.min(width * ratio / panelWidth, height * ratio / panelHeight)));
    }

    function devicePixels(scale) {
        return Math.max(1, Math.round(scale * (window.devicePixelRatio || 1)));
    }

    function apply(canvas, buttons) {
        const most = fitting(canvas);
        let pixels = chosen ? devicePixels(chosen) : most;
        if (pixels > most)
            pixels = most;
        const ratio = window.devicePixelRatio || 1;
        canvas.style.width = canvas.width * pixels / ratio + "px";
        canvas.style.height = canvas.height * pixels / ratio + "px";
        for (const button of buttons) {
            const scale = Number(button.dataset.scale);
            button.hidden = scale > 0 && devicePixels(scale) > most;
            button.setAttribute("aria-pressed", String(scale === chosen));
        }
    }

    function listen(canvas, buttons) {
        const again = () => apply(canvas, buttons);
        for (const button of buttons)
            button.addEventListener("click", function () {
                chosen = Number(button.dataset.scale);
                again();
            });
        window.addEventListener("resize", again);
        window.addEventListener("orientationchange", again);
        // A zoom or a move to another screen changes the ratio, not always
        // the window's size.
        let query = null;
        const watchRatio = function () {
            if (query)
                query.removeEventListener("change", watchRatio);
            query = matchMedia("(resolution: " + (window.devicePixelRatio || 1) + "dppx)");
            query.addEventListener("change", watchRatio);
            again();
        };
        watchRatio();
    }

    return { listen: listen };
})();
