#pragma once
// Builds GNU MO catalogues for the translation tests: the header, the table of
// originals (sorted), the table of translations, then the strings, each
// followed by a NUL.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

inline std::vector<uint8_t> MoBytes(const std::map<std::string, std::string>& entries, bool bigEndian = false) {
    std::vector<uint8_t> bytes;
    auto put = [&](uint32_t value, size_t at) {
        for (int k = 0; k < 4; ++k) bytes[at + k] = uint8_t(value >> (bigEndian ? 24 - 8 * k : 8 * k));
    };
    const uint32_t n = uint32_t(entries.size());
    const uint32_t originals = 28, translations = originals + 8 * n;
    bytes.resize(translations + 8 * n);
    put(0x950412DE, 0);
    put(0, 4);
    put(n, 8);
    put(originals, 12);
    put(translations, 16);
    put(0, 20);
    put(0, 24);
    auto addString = [&](const std::string& text, size_t entry) {
        put(uint32_t(text.size()), entry);
        put(uint32_t(bytes.size()), entry + 4);
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    };
    uint32_t i = 0;
    for (const auto& [original, translation] : entries) {
        addString(original, originals + 8 * i);
        addString(translation, translations + 8 * i);
        ++i;
    }
    return bytes;
}

inline const std::string MoUtf8Header = "Project-Id-Version: test\nContent-Type: text/plain; charset=UTF-8\n";

inline void WriteMoFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
