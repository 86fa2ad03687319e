#include "app/audio_engine.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <mmsystem.h>

#include <stdlib.h>
#include <string.h>

namespace {
enum { AUDIO_BLOCK_COUNT = 2, AUDIO_CHANNELS = 2 };
}

struct AudioEngine {
    HWAVEOUT device;
    HANDLE blockDone;    // signalled by the driver when a block has played
    HANDLE thread;
    CRITICAL_SECTION lock;
    bool lockCreated;
    volatile LONG stopping;
    WAVEHDR headers[AUDIO_BLOCK_COUNT];
    int16_t* samples;    // AUDIO_BLOCK_COUNT blocks of bufferSamples stereo frames
    uint32_t bufferSamples;
    volatile LONG blocksQueued;
};

namespace {

// Fills a finished block (silence: there are no voices) and hands it back.
void refill(AudioEngine* engine, WAVEHDR* header) {
    EnterCriticalSection(&engine->lock);
    memset(header->lpData, 0, header->dwBufferLength);
    LeaveCriticalSection(&engine->lock);
    header->dwFlags &= ~WHDR_DONE;
    if (waveOutWrite(engine->device, header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR)
        InterlockedIncrement(&engine->blocksQueued);
}

DWORD WINAPI outputThread(void* parameter) {
    AudioEngine* engine = static_cast<AudioEngine*>(parameter);
    while (!engine->stopping) {
        WaitForSingleObject(engine->blockDone, 100);
        if (engine->stopping) break;
        for (WAVEHDR& header : engine->headers)
            if (header.dwFlags & WHDR_DONE) refill(engine, &header);
    }
    return 0;
}

} // namespace

AudioEngine* createAudioEngine() { return static_cast<AudioEngine*>(calloc(1, sizeof(AudioEngine))); }

AudioResult initAudioEngine(AudioEngine* engine, AudioBackend backend, uint32_t sampleRate, uint32_t bufferSamples) {
    if (!engine || sampleRate == 0 || bufferSamples == 0) return AUDIO_INVALID_PARAMETER;
    if (backend != AUDIO_BACKEND_AUTO && backend != AUDIO_BACKEND_WAVEOUT) return AUDIO_BACKEND_NOT_AVAILABLE;
    deinitAudioEngine(engine);

    InitializeCriticalSection(&engine->lock);
    engine->lockCreated = true;
    engine->bufferSamples = bufferSamples;
    engine->blockDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!engine->blockDone) {
        deinitAudioEngine(engine);
        return AUDIO_UNKNOWN_ERROR;
    }

    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = AUDIO_CHANNELS;
    format.nSamplesPerSec = sampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    if (waveOutOpen(&engine->device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(engine->blockDone), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        engine->device = nullptr;
        deinitAudioEngine(engine);
        return AUDIO_BACKEND_NOT_AVAILABLE;
    }

    size_t blockBytes = static_cast<size_t>(bufferSamples) * format.nBlockAlign;
    engine->samples = static_cast<int16_t*>(calloc(AUDIO_BLOCK_COUNT, blockBytes));
    if (!engine->samples) {
        deinitAudioEngine(engine);
        return AUDIO_OUT_OF_MEMORY;
    }
    for (int i = 0; i < AUDIO_BLOCK_COUNT; ++i) {
        WAVEHDR& header = engine->headers[i];
        header.lpData = reinterpret_cast<LPSTR>(engine->samples) + i * blockBytes;
        header.dwBufferLength = static_cast<DWORD>(blockBytes);
        waveOutPrepareHeader(engine->device, &header, sizeof(WAVEHDR));
        header.dwFlags |= WHDR_DONE; // the thread fills and queues every block first
    }
    engine->stopping = 0;
    engine->thread = CreateThread(nullptr, 0, outputThread, engine, 0, nullptr);
    if (!engine->thread) {
        deinitAudioEngine(engine);
        return AUDIO_UNKNOWN_ERROR;
    }
    SetEvent(engine->blockDone);
    return AUDIO_OK;
}

void deinitAudioEngine(AudioEngine* engine) {
    if (!engine) return;
    if (engine->thread) {
        InterlockedExchange(&engine->stopping, 1);
        SetEvent(engine->blockDone);
        WaitForSingleObject(engine->thread, INFINITE);
        CloseHandle(engine->thread);
        engine->thread = nullptr;
    }
    if (engine->device) {
        waveOutReset(engine->device);
        for (WAVEHDR& header : engine->headers)
            if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(engine->device, &header, sizeof(WAVEHDR));
        waveOutClose(engine->device);
        engine->device = nullptr;
    }
    memset(engine->headers, 0, sizeof(engine->headers));
    free(engine->samples);
    engine->samples = nullptr;
    if (engine->blockDone) CloseHandle(engine->blockDone);
    engine->blockDone = nullptr;
    if (engine->lockCreated) DeleteCriticalSection(&engine->lock);
    engine->lockCreated = false;
}

void destroyAudioEngine(AudioEngine* engine) {
    deinitAudioEngine(engine);
    free(engine);
}

uint32_t audioEngineBlocksQueued(const AudioEngine* engine) {
    return static_cast<uint32_t>(engine->blocksQueued);
}
