// The service worker: keeps one build's files in a cache of its own, so the game loads and plays offline after
// one visit. A new build's worker fills its own cache whole before it takes over, then deletes the older ones: a
// page never mixes the files of two builds (their names carry their content's hash).
const BUILD = /*BUILD*/null;
const CACHE = 'zorvel-' + BUILD.version;

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // The page may have stored the big files already, as it loaded them: fetch only what is missing.
    for (const file of BUILD.files) {
      if (!(await cache.match(file))) await cache.add(file);
    }
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith('zorvel-') && name !== CACHE) await caches.delete(name);
    await self.clients.claim();
  })());
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  if (request.mode === 'navigate') {
    // The page from the network while there is one, so a new build is seen at once; this build's page offline.
    event.respondWith(fetch(request).catch(async () =>
      (await caches.open(CACHE)).match('index.html')));
    return;
  }
  event.respondWith((async () => {
    const hit = await (await caches.open(CACHE)).match(request, {ignoreSearch: true});
    return hit || fetch(request);
  })());
});
