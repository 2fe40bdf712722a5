// Orbita offline: keeps the page, its code and its data of one build in one cache, named
// after the digest of those files, and answers the page's requests from it. A new build has
// a new name: it is fetched whole while the old one still serves, takes over when no page
// of the old build is open any more, and then the old cache goes. So a page never mixes
// the code of one build with the data of another.
"use strict";
var CACHE = "orbita-@VERSION@";
var FILES = @FILES@;

self.addEventListener("install", function (event) {
  event.waitUntil(caches.open(CACHE).then(function (cache) {
    // Revalidated with the server: what the browser's own cache holds may be older.
    return cache.addAll(FILES.map(function (f) { return new Request(f, { cache: "no-cache" }); }));
  }));
});

self.addEventListener("activate", function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (n) { return n.indexOf("orbita-") === 0 && n !== CACHE; })
                            .map(function (n) { return caches.delete(n); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener("fetch", function (event) {
  var request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(caches.open(CACHE).then(function (cache) {
    // The page's options are in its query string; the files themselves have none.
    return cache.match(request, { ignoreSearch: true }).then(function (hit) {
      return hit || fetch(request);
    });
  }));
});
