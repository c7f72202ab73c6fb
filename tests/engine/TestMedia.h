#pragma once
// Media fixtures made in memory for the engine tests.

#include <cstdint>
#include <vector>

// 16-bit little-endian mono PCM samples, a recognisable ramp.
std::vector<uint8_t> MakePcm(int samples);
// A RIFF/WAVE file around Pcm.
std::vector<uint8_t> MakeWav(const std::vector<uint8_t>& pcm, int sampleRate);
