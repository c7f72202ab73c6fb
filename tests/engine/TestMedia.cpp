#include "TestMedia.h"

#include <cstddef>

std::vector<uint8_t> MakePcm(int samples) {
    std::vector<uint8_t> pcm;
    pcm.reserve(static_cast<size_t>(samples) * 2);
    for (int i = 0; i < samples; ++i) {
        const auto sample = static_cast<uint16_t>(i * 7 + (i >> 8));
        pcm.push_back(static_cast<uint8_t>(sample));
        pcm.push_back(static_cast<uint8_t>(sample >> 8));
    }
    return pcm;
}

namespace {
void Put(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}
void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
} // namespace

std::vector<uint8_t> MakeWav(const std::vector<uint8_t>& pcm, int sampleRate) {
    const auto dataSize = static_cast<uint32_t>(pcm.size());
    std::vector<uint8_t> wav;
    Put(wav, "RIFF");
    Put(wav, 36 + dataSize, 4);
    Put(wav, "WAVE");
    Put(wav, "fmt ");
    Put(wav, 16, 4);
    Put(wav, 1, 2); // PCM
    Put(wav, 1, 2); // channels
    Put(wav, static_cast<uint32_t>(sampleRate), 4);
    Put(wav, static_cast<uint32_t>(sampleRate) * 2, 4);
    Put(wav, 2, 2);  // block align
    Put(wav, 16, 2); // bits per sample
    Put(wav, "data");
    Put(wav, dataSize, 4);
    wav.insert(wav.end(), pcm.begin(), pcm.end());
    return wav;
}
