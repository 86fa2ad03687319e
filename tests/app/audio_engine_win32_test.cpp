// The audio engine's start, one way or the other as the system decides: ctest runs this
// under two environments (tests/app/CMakeLists.txt) and names the one it set up.
#include "app/audio_engine.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

// Waits for the output thread to have handed `count` blocks to the device. The bound
// only turns a thread that never runs into a failure; a busy machine just waits longer.
bool waitForBlocks(const AudioEngine* engine, uint32_t count) {
    for (int i = 0; i < 3000 && audioEngineBlocksQueued(engine) < count; ++i) Sleep(10);
    return audioEngineBlocksQueued(engine) >= count;
}

TEST(AudioEngine, StartsAsTheSystemAllowsAndAlwaysShutsDownCleanly) {
    // "device": Wine has an output (ALSA's null device, no sound card needed);
    // "none": Wine has no audio driver at all.
    const char* output = getenv("QUARLO_AUDIO_OUTPUT");
    ASSERT_NE(output, nullptr) << "QUARLO_AUDIO_OUTPUT (device or none) names the start to expect";
    const bool device = strcmp(output, "device") == 0;
    ASSERT_TRUE(device || strcmp(output, "none") == 0) << output;

    AudioEngine* engine = createAudioEngine();
    ASSERT_NE(engine, nullptr);
    AudioResult result = initAudioEngine(engine, AUDIO_BACKEND_WAVEOUT, 44100, 4096);
    if (device) {
        EXPECT_EQ(result, AUDIO_OK);
        // Both blocks queued at the start, then at least one refilled once it played.
        if (result == AUDIO_OK) {
            EXPECT_TRUE(waitForBlocks(engine, 3)) << audioEngineBlocksQueued(engine) << " blocks queued";
        }
    } else {
        // No device: a reason, and the game runs silent.
        EXPECT_EQ(result, AUDIO_BACKEND_NOT_AVAILABLE);
        EXPECT_EQ(audioEngineBlocksQueued(engine), 0u);
    }
    deinitAudioEngine(engine);
    uint32_t queued = audioEngineBlocksQueued(engine);
    Sleep(50);
    EXPECT_EQ(audioEngineBlocksQueued(engine), queued) << "the output thread outlived the shutdown";
    deinitAudioEngine(engine); // a second shutdown finds nothing to release

    // The engine starts again after a shutdown.
    EXPECT_EQ(initAudioEngine(engine, AUDIO_BACKEND_WAVEOUT, 44100, 4096), result);
    deinitAudioEngine(engine);
    EXPECT_EQ(initAudioEngine(engine, AUDIO_BACKEND_WAVEOUT, 0, 4096), AUDIO_INVALID_PARAMETER);
    destroyAudioEngine(engine);
}

} // namespace
