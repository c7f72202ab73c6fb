// Writes arbitrary bytes as a settings file and loads it with LoadFromFile,
// which finds the file's encoding (byte-order mark, declaration) itself.
// Malformed files may only raise what the reader documents; what was read
// must save to an indented file in each layout that loads into a fresh object
// with the same values. (Unindented text in both layouts reads back in
// xml_persistence_fuzzer; a fresh object's files are checked once, as an input
// that reads nothing would only repeat them.)

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

// Saves Settings to the file in each layout and loads each into a fresh
// object, whose values must be Values.
void CheckFilesReadBack(TFuzzSettings& settings, const String& values) {
    for (TPropFormat layout : {pfNode, pfAttr}) {
        TXmlDomWriter::SaveToFile(&settings, Scratch().name, layout, xofIndent);
        TFuzzSettings back;
        TXmlDomReader::LoadFromFile(&back, Scratch().name);
        const String again = TXmlDomWriter::SaveToString(&back, pfNode);
        if (again == values) continue;
        std::fprintf(stderr, "settings_file_fuzzer: a saved file reads back differently\n%s\n%s\n",
                     values.ToUtf8().c_str(), again.ToUtf8().c_str());
        std::abort();
    }
}

const String& CheckedFreshValues() {
    static const String values = [] {
        TFuzzSettings fresh;
        String text = TXmlDomWriter::SaveToString(&fresh, pfNode);
        CheckFilesReadBack(fresh, text);
        return text;
    }();
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const String& fresh = CheckedFreshValues();
    WriteFile(data, size);
    TFuzzSettings loaded;
    Load(loaded);
    const String values = TXmlDomWriter::SaveToString(&loaded, pfNode);
    if (values != fresh) CheckFilesReadBack(loaded, values);
    return 0;
}
