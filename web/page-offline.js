// Makes the page work offline and installable: registers the service worker
// (sw.js) once the page has loaded, and when a new release's worker waits,
// offers to switch to it. It never switches on its own: a page keeps the
// files of the release it started with until the visitor asks.
"use strict";

const PageOffline = (function () {
    function offer(registration, note, button) {
        if (!registration.waiting || !navigator.serviceWorker.controller)
            return;
        note.hidden = false;
        button.onclick = () => registration.waiting && registration.waiting.postMessage("take over");
    }

    // Resolves once the worker is active, its files kept; to false where the
    // browser has no service workers or the page is not served securely.
    function register(note, button) {
        if (!("serviceWorker" in navigator) || !window.isSecureContext)
            return Promise.resolve(false);
        navigator.serviceWorker.addEventListener("controllerchange", function () {
            if (!note.hidden)
                location.reload();
        });
        const loaded = document.readyState === "complete" ? Promise.resolve()
            : new Promise((resolve) => window.addEventListener("load", resolve));
        return loaded
            .then(() => navigator.serviceWorker.register("sw.js"))
            .then(function (registration) {
                offer(registration, note, button);
                registration.addEventListener("updatefound", function () {
                    const worker = registration.installing;
                    worker.addEventListener("statechange", () => offer(registration, note, button));
                });
                return navigator.serviceWorker.ready.then(() => true);
            })
            .catch(function (error) {
                console.warn("the page cannot be kept for offline use: " + error);
                return false;
            });
    }

    return { register: register };
})();
