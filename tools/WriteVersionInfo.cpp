// Writes a program's version information block at build time:
//   ostrel-version-info <output> <version> <product> <company> <description> <internal name> <file name>

#include <cstdio>
#include <fstream>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/VersionBlockWriter.h"

int main(int argc, char** argv) try {
    if (argc != 8) {
        std::fprintf(stderr, "usage: %s <output> <version> <product> <company> <description> <internal name> <file name>\n",
                     argv[0]);
        return 2;
    }
    const std::vector<uint8_t> block = ProgramVersionBlock({String(argv[2]), String(argv[3]), String(argv[4]),
                                                            String(argv[5]), String(argv[6]), String(argv[7])});
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
} catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
}
