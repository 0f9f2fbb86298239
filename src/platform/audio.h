#pragma once
// The game's sound: one music module and a bank of effect voices, mixed into whatever device the
// platform opened. Everything here is called from the game's thread; the device's renderer only
// ever runs under the device lock.
#include <cstddef>
#include <cstdint>

constexpr int audio_rate = 44100;
constexpr int audio_channels = 2;
// About 12 ms: a bounce is heard within a frame or two of the picture.
constexpr int audio_buffer_frames = 512;
constexpr int audio_voice_count = 32;
// Effects sound at 128 out of 255, over the music.
constexpr int audio_effect_volume = 128;

// 8-bit unsigned mono PCM, owned by the layer from audio_sample_make to audio_close.
struct AudioSample;

// Opens the device and starts mixing (silence until something plays).
// Null on success; otherwise why the device could not be opened.
const char* audio_open();
// Stops the device and frees the music and every sample.
void audio_close();
bool audio_is_open();

// Parses a module from memory; the layer keeps its own copy, so the caller may free the bytes.
// Null on success; otherwise the loader's reason. Replaces any module held before.
const char* audio_music_load(const uint8_t* data, size_t size);
// Plays the held module from its start, looping for ever.
void audio_music_play();

// Copies the PCM; null when there is nothing to copy.
AudioSample* audio_sample_make(const uint8_t* pcm, size_t length);
// Plays the sample once at the given frequency on a free voice. False (and nothing heard)
// when every voice is busy or the frequency is not positive.
bool audio_sample_play(const AudioSample* sample, int32_t frequency);
// Silences every voice; the music goes on.
void audio_voices_stop();
int audio_voices_busy();

// The mixer itself: fills interleaved stereo frames with the music and the voices. The device
// calls it; benchmarks and tests may call it while the device is closed.
void audio_mix(int16_t* frames, int frame_count);

// The mix passes unchanged up to this level; beyond it, it bends towards full scale without
// reaching it, so music and effects together never clip.
constexpr int32_t audio_mix_knee = 24576;
// 30 ms: the last wave dies away instead of stopping with a click.
constexpr int audio_fade_frames = audio_rate * 30 / 1000;
// Ramps what the mixer puts out down to silence over audio_fade_frames; closing the device
// does it and waits for it. Opening or closing the device clears it.
void audio_fade_start();
// True once the ramp and one buffer of silence after it have been mixed: a device that asked
// for that buffer has taken the whole ramp.
bool audio_fade_done();
