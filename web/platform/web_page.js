// The page around the show's canvas: what every page of the web build does
// before and around the program.
//
//   - refuses to start from file:// (browsers fetch no WebAssembly there) and
//     without WebGL 2, with a message saying what to do instead;
//   - fetches the data files (the archive) into the program's file system
//     before main runs; a download that fails or is cut short stops the start
//     with a message naming the file;
//   - shows the program's messages and message boxes in a text panel over the
//     canvas (window.vantorShowMessage), repeated lines counted, not repeated;
//   - keeps the console quiet: after a few dozen lines of the program's
//     output one line says the rest is left out;
//   - fits the canvas into the window in its 4:3 shape with black bars (down
//     to a 1-pixel window); F toggles full screen;
//   - shows "Click to start" until the page had its gesture (no sound plays
//     before one).
//
// A page sets window.vantorPage = { script, canvas, files, module } and loads
// this file; `script` is the program's .js, `files` the [url, path] pairs to
// fetch first, `module` more fields for emscripten's Module.
(function () {
  'use strict';
  const options = window.vantorPage || {};
  const canvas = document.querySelector(options.canvas || 'canvas');
  const kMaxPanelLines = 12;
  const kMaxConsoleLines = 40;

  // The message panel.
  const panel = document.createElement('div');
  panel.id = 'vantor-messages';
  panel.setAttribute('role', 'status');
  panel.style.cssText = 'position:fixed;left:0;right:0;bottom:0;max-height:40%;overflow:auto;margin:0;' +
    'padding:0.6em 1em;background:rgba(0,0,0,0.8);color:#ddd;font:14px/1.4 sans-serif;' +
    'white-space:pre-wrap;display:none;z-index:2';
  const lines = [];
  function showMessage(text, caption, kind) {
    const line = (caption ? caption + ': ' : '') + text;
    const last = lines[lines.length - 1];
    if (last && last.line === line) {
      ++last.count;
    } else {
      lines.push({ line: line, kind: kind || 'information', count: 1 });
      if (lines.length > kMaxPanelLines) lines.shift();
    }
    panel.textContent = '';
    for (const entry of lines) {
      const row = document.createElement('div');
      row.textContent = entry.line + (entry.count > 1 ? ' (' + entry.count + ' times)' : '');
      if (entry.kind === 'error') row.style.color = '#f88';
      else if (entry.kind === 'warning') row.style.color = '#fd8';
      panel.appendChild(row);
    }
    panel.style.display = 'block';
  }
  window.vantorShowMessage = showMessage;

  // A failure that ends the start: in the panel and in window.vantorError.
  function fail(text) {
    if (window.vantorError === undefined) window.vantorError = text;
    showMessage(text, '', 'error');
    if (start) start.style.display = 'none';
  }

  // The console: the program's lines up to a bound, then one line.
  let consoleLines = 0;
  function quiet(write) {
    return function (text) {
      ++consoleLines;
      if (consoleLines <= kMaxConsoleLines) write(text);
      else if (consoleLines === kMaxConsoleLines + 1) write('(further output of the program is left out)');
    };
  }

  // The canvas in its 4:3 shape, centred, black around it.
  function fit() {
    if (!canvas) return;
    const width = Math.max(1, window.innerWidth);
    const height = Math.max(1, window.innerHeight);
    const w = Math.max(1, Math.min(width, Math.floor(height * 4 / 3)));
    const h = Math.max(1, Math.min(height, Math.round(w * 3 / 4)));
    canvas.style.width = w + 'px';
    canvas.style.height = h + 'px';
    canvas.style.left = Math.floor((width - w) / 2) + 'px';
    canvas.style.top = Math.floor((height - h) / 2) + 'px';
  }

  // "Click to start".
  let start = null;
  let hadGesture = false;
  function gesture() {
    if (hadGesture) return;
    hadGesture = true;
    window.vantorStarted = true;
    if (start) start.style.display = 'none';
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(function () {});
    } else if (document.documentElement.requestFullscreen) {
      document.documentElement.requestFullscreen().catch(function (error) {
        showMessage('Full screen was refused by the browser (' + error.message + ').', '', 'warning');
      });
    }
  }

  function hasWebGL2() {
    try {
      return !!document.createElement('canvas').getContext('webgl2');
    } catch (e) {
      return false;
    }
  }

  // The data files into the program's file system, before main.
  function fetchFiles(files) {
    return function () {
      for (const [url, path] of files) {
        const name = 'fetch ' + url;
        addRunDependency(name);
        fetch(url).then(function (response) {
          if (!response.ok) throw new Error('The file ' + url + ' could not be downloaded (HTTP ' + response.status + ').');
          const expected = Number(response.headers.get('Content-Length'));
          return response.arrayBuffer().then(function (bytes) {
            // Content-Length counts the bytes as sent, which differ when the
            // server compressed them.
            const encoded = response.headers.get('Content-Encoding');
            if (expected > 0 && !encoded && bytes.byteLength !== expected) throw new Error('cut');
            return bytes;
          }).catch(function () {
            throw new Error('The file ' + url + ' was cut short while downloading' +
              (expected > 0 ? ' (' + expected + ' bytes expected)' : '') + '. Reload the page to try again.');
          });
        }, function () {
          throw new Error('The file ' + url + ' could not be downloaded (no connection to the server).');
        }).then(function (bytes) {
          const folder = path.substring(0, path.lastIndexOf('/'));
          if (folder) FS.mkdirTree(folder);
          FS.writeFile(path, new Uint8Array(bytes));
          removeRunDependency(name);
        }).catch(function (error) {
          // The run dependency stays: main never runs on a missing file.
          fail(error.message);
        });
      }
    };
  }

  function begin() {
    document.body.appendChild(panel);
    if (canvas) {
      canvas.style.position = 'absolute';
      fit();
      window.addEventListener('resize', fit);
    }
    if (location.protocol === 'file:') {
      fail('This page must be opened through a web server: browsers load no WebAssembly from file://. ' +
        'In the page\'s folder run "python3 -m http.server 8000" and open http://localhost:8000/.');
      return;
    }
    if (!hasWebGL2()) {
      fail('This browser gives no WebGL 2, which the show draws with. Try a current Firefox or Chromium, ' +
        'or turn on hardware acceleration.');
      return;
    }
    start = document.createElement('div');
    start.id = 'vantor-start';
    start.textContent = 'Click to start';
    start.style.cssText = 'position:fixed;left:0;right:0;top:45%;text-align:center;color:#ccc;' +
      'font:20px sans-serif;cursor:pointer;z-index:1';
    document.body.appendChild(start);
    document.addEventListener('pointerdown', gesture, true);
    document.addEventListener('keydown', function (event) {
      gesture();
      if (event.code === 'KeyF' && !event.ctrlKey && !event.altKey && !event.metaKey) toggleFullScreen();
    }, true);

    const module = Object.assign({
      canvas: canvas,
      print: quiet(console.log.bind(console)),
      printErr: quiet(console.error.bind(console)),
      onAbort: function (what) {
        const text = String(what);
        if (/fetching of the wasm|failed to load wasm|wasm.*(404|not found)/i.test(text))
          fail('The program\'s WebAssembly could not be downloaded; reload the page to try again (' + text + ').');
        else
          fail('The program stopped: ' + text);
      },
      preRun: [],
    }, options.module || {});
    if (options.files && options.files.length) module.preRun = [].concat(module.preRun, fetchFiles(options.files));
    window.Module = module;
    window.addEventListener('error', function (event) {
      if (event.target && event.target.tagName === 'SCRIPT')
        fail('The program ' + event.target.src + ' could not be loaded.');
    }, true);
    const script = document.createElement('script');
    script.src = options.script;
    document.body.appendChild(script);
  }

  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', begin);
  else begin();
})();
