// The program's small audio engine: one engine object with a waveOut output and its
// own output thread. The game plays no sound, so the thread keeps the device fed with
// silence; without a device init fails and the game runs silent.
#pragma once

#include <stdint.h>

enum AudioBackend : uint32_t {
    AUDIO_BACKEND_AUTO = 0,
    AUDIO_BACKEND_WAVEOUT = 1,
};

enum AudioResult : int32_t {
    AUDIO_OK = 0,
    AUDIO_INVALID_PARAMETER = 1,
    AUDIO_UNKNOWN_ERROR = 2,
    AUDIO_OUT_OF_MEMORY = 3,
    AUDIO_BACKEND_NOT_AVAILABLE = 4,
};

struct AudioEngine;

AudioEngine* createAudioEngine();

// Opens the output: 16-bit stereo at sampleRate, in blocks of bufferSamples frames.
AudioResult initAudioEngine(AudioEngine* engine, AudioBackend backend, uint32_t sampleRate, uint32_t bufferSamples);

// Stops every voice and the output thread, releases the device, the buffers and the lock.
// Safe after a failed init.
void deinitAudioEngine(AudioEngine* engine);

void destroyAudioEngine(AudioEngine* engine);

// The number of blocks the output thread has handed to the device (for tests).
uint32_t audioEngineBlocksQueued(const AudioEngine* engine);
