// The page's side of the browser build (runs before the program starts):
// - the saved record's folder /save lives in IndexedDB: loaded before main runs, written back
//   after every save; a browser that refuses storage plays on without saving and says so;
// - the canvas's drawing buffer follows the page's size in device pixels;
// - the audio wakes on the first click or key (browsers keep it muted until then);
// - fingers and the wheel on the canvas go to the game in canvas pixels (web/input.js);
// - the replay named by "?replay=URL" or "?verify=URL" is fetched before main runs.
Module.vexmoSaves = { enabled: true, syncs: 0, failures: 0 };

Module.vexmoSavesOff = function (why) {
  if (!Module.vexmoSaves.enabled) return;
  Module.vexmoSaves.enabled = false;
  console.warn('Vexmo: this browser refuses storage (' + why + '); playing on without saving.');
};

Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  FS.mkdir('/save');
  try {
    FS.mount(IDBFS, {}, '/save');
  } catch (e) {
    Module.vexmoSavesOff(e);
    return;
  }
  addRunDependency('vexmo-saves');
  var done = false;
  var finish = function (err) {
    if (done) return;
    done = true;
    if (err) Module.vexmoSavesOff(err.message || err);
    removeRunDependency('vexmo-saves');
  };
  try {
    FS.syncfs(true, finish);
  } catch (e) {
    finish(e);
  }
});

// The replay the address names, into the file app/replay_page.h reads. A fetch that fails is
// told on the page and the console, and the game starts as usual.
Module.preRun.push(function () {
  var params = new URLSearchParams(location.search);
  var watch = params.has('replay');
  var url = watch ? params.get('replay') : params.get('verify');
  if (url === null) return;
  addRunDependency('vexmo-replay');
  var tell = function (line) {
    console.warn(line);
    if (window.vexmoSay) window.vexmoSay(line, true);
    if (!watch) window.vexmoVerdict = { line: line, ok: false };
  };
  fetch(url, { cache: 'no-store' })
    .then(function (response) {
      if (!response.ok) throw new Error('HTTP ' + response.status);
      return response.arrayBuffer();
    })
    .then(function (bytes) {
      FS.writeFile('/tmp/fetched.vxr', new Uint8Array(bytes));
    })
    .catch(function (e) {
      tell('The replay ' + url + ' could not be fetched (' + (e.message || e) +
           '): the game starts as usual.');
    })
    .then(function () {
      removeRunDependency('vexmo-replay');
    });
});

// The size the canvas's drawing buffer must keep, when something asks for one (a replay being
// watched keeps the size it was recorded at, and the page scales it).
Module.vexmoCanvasSize = null;

(function () {
  var syncing = false;
  var again = false;
  // One write-back at a time; a save during one is carried by the next.
  Module.vexmoSyncSaves = function () {
    if (!Module.vexmoSaves.enabled) return;
    if (syncing) {
      again = true;
      return;
    }
    syncing = true;
    FS.syncfs(false, function (err) {
      syncing = false;
      if (err) {
        Module.vexmoSaves.failures++;
        console.warn('Vexmo: the saved record could not be stored (' + (err.message || err) + ')');
      } else {
        Module.vexmoSaves.syncs++;
      }
      if (again) {
        again = false;
        Module.vexmoSyncSaves();
      }
    });
  };
})();

Module.vexmoFitCanvas = function () {
  var canvas = Module.canvas;
  var ratio = window.devicePixelRatio || 1;
  var kept = Module.vexmoCanvasSize;
  var width = kept ? kept[0] : Math.max(1, Math.round(canvas.clientWidth * ratio));
  var height = kept ? kept[1] : Math.max(1, Math.round(canvas.clientHeight * ratio));
  if (canvas.width !== width) canvas.width = width;
  if (canvas.height !== height) canvas.height = height;
};

(function () {
  var wake = function () {
    if (typeof AL === 'undefined' || !AL.currentCtx) return;
    var audio = AL.currentCtx.audioCtx;
    if (audio && audio.state === 'suspended') audio.resume();
  };
  ['pointerdown', 'keydown', 'touchstart'].forEach(function (type) {
    window.addEventListener(type, wake, true);
  });
})();
