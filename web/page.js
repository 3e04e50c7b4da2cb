// The page around the game: the download's progress bar, messages when something goes wrong,
// the hint to turn a portrait phone, fullscreen on a phone's first tap, and the service worker
// that keeps the game for offline play (sw.js). The game itself starts once vexmo.js is here.
(function () {
  var canvas = document.getElementById('canvas');
  var bar = document.getElementById('progress');
  var fill = document.getElementById('progress-fill');
  var label = document.getElementById('progress-label');
  var note = document.getElementById('note');
  var state = { loaded: 0, total: 0, started: false, running: false };
  window.vexmoPage = state;

  var mb = function (bytes) {
    return (bytes / 1048576).toFixed(1);
  };
  // One message at a time at the bottom of the page; `lasting` ones stay.
  var say = function (text, lasting) {
    note.textContent = text;
    note.hidden = false;
    state.note = text;
    clearTimeout(say.timer);
    if (!lasting) say.timer = setTimeout(function () { note.hidden = true; }, 8000);
  };

  // For the game's own lines (web/pre.js, app/replay_page_browser.cpp).
  window.vexmoSay = say;
  // A line the page before this one left for it (a replay that could not be watched).
  try {
    var left = sessionStorage.getItem('vexmo-note');
    if (left) {
      sessionStorage.removeItem('vexmo-note');
      say(left);
    }
  } catch (e) {}

  var failed = function () {
    if (state.running) return;
    bar.hidden = true;
    var got = state.total ? ' (' + mb(state.loaded) + ' of ' + mb(state.total) + ' MB arrived)' : '';
    say('The game could not be downloaded' + got + '. Check the connection and reload the page.',
        true);
  };

  window.Module = {
    canvas: canvas,
    // The data package's download, as the loader reports it: "Downloading data... (a/b)".
    setStatus: function (text) {
      var m = /\((\d+)\/(\d+)\)/.exec(text || '');
      if (!m || state.running) return;
      state.loaded = +m[1];
      state.total = +m[2];
      bar.hidden = false;
      fill.style.width = (100 * state.loaded / Math.max(1, state.total)) + '%';
      label.textContent = mb(state.loaded) + ' / ' + mb(state.total) + ' MB';
    },
    onRuntimeInitialized: function () {
      state.running = true;
      bar.hidden = true;
      // Everything is loaded: a new build waiting in the service worker may take over now.
      if (navigator.serviceWorker && navigator.serviceWorker.getRegistration) {
        navigator.serviceWorker.getRegistration().then(function (reg) {
          if (!reg) return;
          var hand = function (worker) {
            if (worker) worker.postMessage('vexmo-loaded');
          };
          var watch = function (next) {
            if (!next) return;
            next.addEventListener('statechange', function () {
              if (next.state === 'installed') hand(next);
            });
          };
          hand(reg.waiting);
          watch(reg.installing);
          reg.addEventListener('updatefound', function () {
            watch(reg.installing);
          });
        }, function () {});
      }
    },
    onAbort: failed,
  };
  // The loader throws its download errors from the request's handler.
  window.addEventListener('error', function (e) {
    if (/NetworkError for|vexmo\.data|\.wasm/.test(String(e.message))) failed();
  });

  var start = function () {
    if (state.started) return;
    state.started = true;
    var script = document.createElement('script');
    script.src = 'vexmo.js';
    script.async = true;
    script.onerror = failed;
    document.body.appendChild(script);
  };

  var worker = navigator.serviceWorker;
  if (!worker) {
    say('This browser does not keep the game for offline play: it needs the network each time.');
    start();
  } else {
    worker.addEventListener('message', function (e) {
      var why = e.data && e.data.vexmoCache;
      if (why === 'quota') {
        say('Not enough storage to keep the game for offline play: it needs the network next time.');
      } else if (why) {
        say('This browser refused to keep the game for offline play: it needs the network next time.');
      }
    });
    if (worker.controller) start();  // kept from an earlier visit
    worker.register('sw.js').then(function (reg) {
      if (worker.controller) return start();
      // A first visit waits for the worker to see the game's files, so they are kept as they
      // arrive instead of being downloaded twice; not for long.
      worker.addEventListener('controllerchange', start);
      setTimeout(start, 3000);
      var installing = reg.installing;
      if (installing) {
        installing.addEventListener('statechange', function () {
          if (installing.state === 'redundant') start();
        });
      }
    }, function (e) {
      say('This browser refused to keep the game for offline play: it needs the network each time.');
      start();
    });
  }

  // A phone's first tap asks for the whole screen, where the browser allows it.
  var coarse = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
  var askFullscreen = function (e) {
    if (e.target !== canvas) return;
    window.removeEventListener('touchend', askFullscreen, true);
    var root = document.documentElement;
    if (document.fullscreenElement || !document.fullscreenEnabled || !root.requestFullscreen) return;
    root.requestFullscreen({ navigationUI: 'hide' }).then(function () {
      if (screen.orientation && screen.orientation.lock) {
        screen.orientation.lock('landscape').catch(function () {});
      }
    }, function () {});
  };
  if (coarse) window.addEventListener('touchend', askFullscreen, true);
})();
