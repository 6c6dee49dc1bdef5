// The soundtrack in Web Audio, as the program's side of web_audio.h calls it.
//
// The file is fetched and decoded by the browser (decodeAudioData) into one
// AudioBuffer and played through an AudioBufferSourceNode; a seek or a play
// after a pause starts a fresh source at the position's offset (a source plays
// only once). The play position is worked out from the output clock: the
// context time being heard now (getOutputTimestamp, carried on to this moment
// with performance.now) when the browser gives one, else currentTime. While
// paused the position is kept as a number and nothing plays.
//
// The context is held suspended until the first click or key on the page,
// whatever the browser's own autoplay rule (no sound before a gesture); until
// then its clock stands still, and so does the music time.
mergeInto(LibraryManager.library, {
  $VantorAudio: {
    context: null,
    buffer: null,
    source: null,
    analyser: null,
    // 0 not started, 1 loading, 2 ready, 3 failed.
    state: 0,
    message: '',
    playing: false,
    // The position in seconds at the context time startedAt (while playing),
    // or where it stands (while paused).
    offset: 0,
    startedAt: 0,
    // The last position handed out since the last play or seek: the output
    // clock's estimate may step back by a fraction of a millisecond, the music
    // time never does.
    lastPosition: 0,
    gestureHooked: false,
    hadGesture: false,

    fail: function(text) {
      VantorAudio.state = 3;
      VantorAudio.message = text;
    },

    hookGesture: function() {
      if (VantorAudio.gestureHooked) return;
      VantorAudio.gestureHooked = true;
      const resume = function() {
        VantorAudio.hadGesture = true;
        const context = VantorAudio.context;
        if (context && context.state === 'suspended') context.resume().catch(function() {});
      };
      ['pointerdown', 'keydown', 'touchend'].forEach(function(kind) {
        document.addEventListener(kind, resume, true);
      });
    },

    // The context time whose sound is being heard now.
    heardTime: function() {
      const context = VantorAudio.context;
      const now = context.currentTime;
      if (typeof context.getOutputTimestamp !== 'function') return now;
      const stamp = context.getOutputTimestamp();
      if (!(stamp.contextTime > 0) || !(stamp.performanceTime > 0)) return now;
      const heard = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
      // Never ahead of what has been rendered, nor far behind it (a stale
      // stamp after the context was suspended).
      if (heard > now) return now;
      if (now - heard > 0.5) return now;
      return heard;
    },

    position: function() {
      // The clock stands still until the sound is there to play.
      if (!VantorAudio.playing || !VantorAudio.context || !VantorAudio.buffer) return VantorAudio.offset;
      let position = VantorAudio.offset + (VantorAudio.heardTime() - VantorAudio.startedAt);
      // The output's latency: a fresh source is heard a little after it was
      // started; the position waits at the offset for it.
      if (position < VantorAudio.offset) position = VantorAudio.offset;
      if (position < VantorAudio.lastPosition) position = VantorAudio.lastPosition;
      VantorAudio.lastPosition = position;
      return position;
    },

    // Decodes the bytes a promise gives into the soundtrack; its failure, or
    // the promise's, becomes the message the page shows.
    decodeFrom: function(name, bytesPromise) {
      const context = VantorAudio.context;
      bytesPromise.then(function(bytes) {
        if (bytes.byteLength === 0) throw new Error('The soundtrack ' + name + ' is empty.');
        return new Promise(function(resolve, reject) {
          // The callback form: older browsers return no promise from it.
          context.decodeAudioData(bytes, resolve, function() {
            reject(new Error('The soundtrack ' + name + ' cannot be decoded (not an MP3 the browser reads).'));
          });
        });
      }).then(function(buffer) {
        VantorAudio.buffer = buffer;
        VantorAudio.state = 2;
        if (VantorAudio.playing) VantorAudio.startSource();
      }).catch(function(error) {
        VantorAudio.fail(error && error.message ? error.message : String(error));
      });
    },

    stopSource: function() {
      if (!VantorAudio.source) return;
      try { VantorAudio.source.stop(); } catch (e) { /* never started or already over */ }
      VantorAudio.source.disconnect();
      VantorAudio.source = null;
    },

    startSource: function() {
      const context = VantorAudio.context;
      VantorAudio.stopSource();
      VantorAudio.startedAt = context.currentTime;
      VantorAudio.lastPosition = VantorAudio.offset;
      const buffer = VantorAudio.buffer;
      if (!buffer || VantorAudio.offset >= buffer.duration) return;  // past the end: silence
      const source = context.createBufferSource();
      source.buffer = buffer;
      source.connect(VantorAudio.analyser || context.destination);
      // Before the start (a negative position) the sound begins that much later.
      if (VantorAudio.offset < 0) source.start(VantorAudio.startedAt - VantorAudio.offset, 0);
      else source.start(VantorAudio.startedAt, VantorAudio.offset);
      VantorAudio.source = source;
    },
  },

  vantor_audio_init__deps: ['$VantorAudio'],
  vantor_audio_init: function() {
    if (VantorAudio.context) return 1;
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    try {
      VantorAudio.context = new Context();
    } catch (e) {
      return 0;
    }
    // The output goes through an analyser the page's tests read the sound from.
    VantorAudio.analyser = VantorAudio.context.createAnalyser();
    VantorAudio.analyser.fftSize = 2048;
    VantorAudio.analyser.connect(VantorAudio.context.destination);
    // A click before the sound side started (while the page was still
    // loading) counts: the page noted it (web_page.js).
    if (window.vantorStarted) VantorAudio.hadGesture = true;
    if (VantorAudio.hadGesture) VantorAudio.context.resume().catch(function() {});
    else VantorAudio.context.suspend().catch(function() {});
    VantorAudio.hookGesture();
    Module['vantorAudio'] = VantorAudio;
    return 1;
  },

  vantor_audio_load__deps: ['$VantorAudio'],
  vantor_audio_load: function(urlPointer) {
    const url = UTF8ToString(urlPointer);
    const context = VantorAudio.context;
    if (!context) {
      VantorAudio.fail('This browser has no Web Audio: the soundtrack cannot play.');
      return;
    }
    VantorAudio.state = 1;
    VantorAudio.message = '';
    VantorAudio.decodeFrom(url, fetch(url).then(function(response) {
      if (!response.ok) throw new Error('The soundtrack ' + url + ' could not be downloaded (HTTP ' + response.status + ').');
      return response.arrayBuffer().catch(function() {
        throw new Error('The soundtrack ' + url + ' was cut short while downloading.');
      });
    }, function() {
      throw new Error('The soundtrack ' + url + ' could not be downloaded (no connection to the server).');
    }));
  },

  vantor_audio_decode__deps: ['$VantorAudio'],
  vantor_audio_decode: function(namePointer, bytes, size) {
    const name = UTF8ToString(namePointer);
    if (!VantorAudio.context) {
      VantorAudio.fail('This browser has no Web Audio: the soundtrack cannot play.');
      return;
    }
    VantorAudio.state = 1;
    VantorAudio.message = '';
    // A copy: decodeAudioData takes its buffer away, and the program's memory
    // may move when it grows.
    VantorAudio.decodeFrom(name, Promise.resolve(HEAPU8.slice(bytes, bytes + size).buffer));
  },

  vantor_audio_state__deps: ['$VantorAudio'],
  vantor_audio_state: function() { return VantorAudio.state; },

  vantor_audio_message__deps: ['$VantorAudio'],
  vantor_audio_message: function(out, size) { stringToUTF8(VantorAudio.message, out, size); },

  vantor_audio_length__deps: ['$VantorAudio'],
  vantor_audio_length: function() { return VantorAudio.buffer ? VantorAudio.buffer.duration : 0; },

  vantor_audio_running__deps: ['$VantorAudio'],
  vantor_audio_running: function() {
    return VantorAudio.context && VantorAudio.context.state === 'running' ? 1 : 0;
  },

  vantor_audio_position__deps: ['$VantorAudio'],
  vantor_audio_position: function() { return VantorAudio.position(); },

  vantor_audio_play__deps: ['$VantorAudio'],
  vantor_audio_play: function() {
    if (VantorAudio.playing || !VantorAudio.context) return;
    VantorAudio.playing = true;
    VantorAudio.startSource();
  },

  vantor_audio_pause__deps: ['$VantorAudio'],
  vantor_audio_pause: function() {
    if (!VantorAudio.playing) return;
    VantorAudio.offset = VantorAudio.position();
    VantorAudio.playing = false;
    VantorAudio.stopSource();
  },

  vantor_audio_seek__deps: ['$VantorAudio'],
  vantor_audio_seek: function(seconds) {
    VantorAudio.offset = seconds;
    VantorAudio.lastPosition = seconds;
    if (VantorAudio.playing && VantorAudio.context) VantorAudio.startSource();
  },

  vantor_audio_close__deps: ['$VantorAudio'],
  vantor_audio_close: function() {
    VantorAudio.stopSource();
    VantorAudio.playing = false;
    VantorAudio.buffer = null;
    VantorAudio.state = 0;
    if (VantorAudio.context) VantorAudio.context.suspend().catch(function() {});
  },
});
