// The page's sound: the module's own clips, taken from the WebAssembly
// program's memory, played through Web Audio when the gauge starts them.
// Nothing is made or played before a person's first gesture (browsers allow
// sound only from one), and every sound passes through one gain node before
// the speakers, so that what the page plays can be heard, muted or recorded
// at one place (window.lumivaneAudio.output).
"use strict";

const PageAudio = (function () {
    const audio = { context: null, output: null, clips: {}, started: [] };
    window.lumivaneAudio = audio;
    let onChange = null;

    // 8-bit clips are unsigned around 128; 16-bit ones signed little-endian.
    function bufferOf(module, index) {
        const bytes = module._page_clip_bytes(index), bits = module._page_clip_bits(index);
        const channels = module._page_clip_channels(index), data = module._page_clip_data(index);
        const frames = Math.floor(bytes / (channels * bits / 8));
        const buffer = audio.context.createBuffer(channels, frames, module._page_clip_rate(index));
        const heap = module.HEAPU8;
        for (let c = 0; c < channels; ++c) {
            const out = buffer.getChannelData(c);
            for (let f = 0; f < frames; ++f) {
                const at = data + (f * channels + c) * bits / 8;
                out[f] = bits === 8 ? (heap[at] - 128) / 128 : ((heap[at] | heap[at + 1] << 8) << 16 >> 16) / 32768;
            }
        }
        return buffer;
    }

    // Called from every gesture: the first makes the context; a context made
    // from a gesture the browser does not count (a finger's first touch) is
    // resumed by the next one.
    function start(module) {
        if (!window.AudioContext)
            return;
        if (!audio.context) {
            audio.context = new AudioContext();
            audio.output = audio.context.createGain();
            audio.output.connect(audio.context.destination);
            const count = module._page_clip_count();
            for (let i = 0; i < count; ++i)
                audio.clips[module.UTF8ToString(module._page_clip_name(i))] = bufferOf(module, i);
            audio.context.addEventListener("statechange", () => onChange && onChange(audio.context.state));
        }
        if (audio.context.state === "suspended")
            audio.context.resume();
        if (onChange)
            onChange(audio.context.state);
    }

    function play(clip, pass) {
        const buffer = audio.clips[clip];
        if (!audio.context || !buffer)
            return;
        const source = audio.context.createBufferSource();
        source.buffer = buffer;
        source.connect(audio.output);
        source.start();
        audio.started.push({ clip: clip, pass: pass });
    }

    // The context's clock, for lining a lamp up with its sound; null before
    // the first gesture.
    function now() {
        return audio.context ? audio.context.currentTime : null;
    }

    return {
        start: start,
        play: play,
        now: now,
        watch: (callback) => { onChange = callback; },
    };
})();
