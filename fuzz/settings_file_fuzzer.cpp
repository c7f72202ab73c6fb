// Writes arbitrary bytes as a settings file and loads it with LoadFromFile,
// which finds the file's encoding (byte-order mark, declaration) itself.
// Malformed files may only raise what the reader documents; what was read
// must save to a file in each layout and output format that loads into a fresh
// object with the same values.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSettings.h"
#include "support/xml/XmlDom.h"

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "settings_file_fuzzer: %s\n", what);
    std::abort();
}

// One file of this process, in memory when the system has a memory file
// system; removed at exit.
struct TScratchFile {
    TScratchFile() {
        const std::filesystem::path folder =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        path = (folder / ("ostrel-settings-fuzz-" + std::to_string(getpid()) + ".xml")).string();
        name = String::FromUtf8(path);
    }
    ~TScratchFile() { std::remove(path.c_str()); }
    std::string path;
    String name;
};

const TScratchFile& Scratch() {
    static const TScratchFile file;
    return file;
}

void WriteFile(const uint8_t* data, size_t size) {
    std::ofstream out(Scratch().path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    Require(bool(out), "cannot write the settings file");
}

void Load(TFuzzSettings& settings) {
    try {
        TXmlDomReader::LoadFromFile(&settings, Scratch().name);
    } catch (const Exception& e) {
        if (!IsDocumented(e)) throw;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteFile(data, size);
    TFuzzSettings loaded;
    Load(loaded);
    const String values = TXmlDomWriter::SaveToString(&loaded, pfNode);
    for (TPropFormat layout : {pfNode, pfAttr})
        for (uint8_t format : {xofNone, xofIndent}) {
            TXmlDomWriter::SaveToFile(&loaded, Scratch().name, layout, format);
            TFuzzSettings back;
            TXmlDomReader::LoadFromFile(&back, Scratch().name);
            const String again = TXmlDomWriter::SaveToString(&back, pfNode);
            if (again == values) continue;
            std::fprintf(stderr, "settings_file_fuzzer: a saved file reads back differently\n%s\n%s\n",
                         values.ToUtf8().c_str(), again.ToUtf8().c_str());
            std::abort();
        }
    return 0;
}
