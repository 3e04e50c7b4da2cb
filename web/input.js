// The canvas's touches and wheel, read by the page (runs before the program starts, with
// pre.js). Emscripten's GLFW layer turns a touch into a press at the last known place and never
// moves it, and the browser follows a tap with mouse events of its own; so these handlers run
// first (capturing on the window), keep the event from the GLFW layer and the browser's own
// handling (zoom, scrolling, long-press menus), and hand each finger to the game in canvas
// pixels, the mouse's units there.
(function () {
  var canvas = Module.canvas;
  if (!canvas) return;
  var ready = function () {
    return typeof runtimeInitialized !== 'undefined' && runtimeInitialized;
  };
  var phases = { touchstart: 0, touchmove: 1, touchend: 2, touchcancel: 3 };
  var onTouch = function (event) {
    if (event.target !== canvas) return;
    event.preventDefault();
    event.stopPropagation();
    if (!ready() || !Module._vexmo_page_finger) return;
    var rect = canvas.getBoundingClientRect();
    var sx = rect.width > 0 ? canvas.width / rect.width : 1;
    var sy = rect.height > 0 ? canvas.height / rect.height : 1;
    var phase = phases[event.type];
    for (var i = 0; i < event.changedTouches.length; i++) {
      var t = event.changedTouches[i];
      Module._vexmo_page_finger(phase, t.identifier | 0, (t.clientX - rect.left) * sx,
                                (t.clientY - rect.top) * sy);
    }
  };
  Object.keys(phases).forEach(function (type) {
    window.addEventListener(type, onTouch, { capture: true, passive: false });
  });
  // Notches as a desktop wheel gives them, positive away from the user.
  var lineUnits = [100, 3, 1];
  window.addEventListener('wheel', function (event) {
    if (event.target !== canvas) return;
    event.preventDefault();
    event.stopPropagation();
    if (!ready() || !Module._vexmo_page_wheel || !event.deltaY) return;
    Module._vexmo_page_wheel(-event.deltaY / (lineUnits[event.deltaMode] || 100));
  }, { capture: true, passive: false });
})();
