// The page's service worker: keeps the files a visit needs in a cache named
// by the release, so that after one visit the gauge loads and runs with no
// network, and a new release (a new worker, since this file names its
// version) fetches its own files afresh and removes the caches of others.
// It never caches anything but this list, and never mixes two releases' files
// in one page: a new worker waits until the page asks it to take over.
"use strict";

const version = "@PROJECT_VERSION@";
const cacheName = "lumivane-" + version;
const files = @LUMIVANE_PAGE_FILES@;

self.addEventListener("install", function (event) {
    // Past the browser's HTTP cache, so that a release never keeps a file of
    // the one before.
    event.waitUntil(caches.open(cacheName).then((cache) =>
        cache.addAll(files.map((file) => new Request(file, { cache: "reload" })))));
});

self.addEventListener("activate", function (event) {
    event.waitUntil(caches.keys().then((names) => Promise.all(names
        .filter((name) => name.startsWith("lumivane-") && name !== cacheName)
        .map((name) => caches.delete(name)))));
});

self.addEventListener("message", function (event) {
    if (event.data === "take over")
        self.skipWaiting();
});

// The kept file where there is one (a link's query or fragment changes no
// file), else the network; the page opened at its folder is index.html.
// Anything else (the release zip, the font's licence) goes to the network.
self.addEventListener("fetch", function (event) {
    const request = event.request;
    if (request.method !== "GET")
        return;
    const atFolder = new URL(request.url).pathname === new URL(self.registration.scope).pathname;
    const key = atFolder ? "index.html" : request;
    event.respondWith(caches.open(cacheName)
        .then((cache) => cache.match(key, { ignoreSearch: true }))
        .then((kept) => kept || fetch(request)));
});
