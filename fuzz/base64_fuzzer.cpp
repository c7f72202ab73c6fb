// Decodes arbitrary text as Base64, whole and in two runs split where the
// first byte says, which must give the same bytes within the documented
// bound; the bytes encode into lines of at most 76 characters that decode
// back to them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/utils/ScBase64.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Text decoded through DecodeBase64Run in two pieces, the first Split characters long.
std::string DecodedInTwoRuns(const std::string& text, size_t split) {
    std::string bytes(size_t(Base64DecodedSize(int64_t(text.size()))) + 3, '\0');
    auto* dest = reinterpret_cast<uint8_t*>(bytes.data());
    uint32_t accumulator = 0;
    int missing = 4;
    size_t written = DecodeBase64Run(text.data(), split, dest, accumulator, missing);
    written += DecodeBase64Run(text.data() + split, text.size() - split, dest + written, accumulator, missing);
    written += DecodeBase64Finish(dest + written, accumulator, missing);
    bytes.resize(written);
    return bytes;
}

void CheckEncoding(const std::string& bytes) {
    const std::string text = EncodeBase64Text(bytes);
    Require(int64_t(text.size()) == Base64EncodedSize(int64_t(bytes.size())));
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        Require((end == std::string::npos ? text.size() : end) - start <= 76);
        if (end == std::string::npos) break;
        start = end + 2;
        Require(start < text.size()); // never ends with a line break
    }
    Require(DecodeBase64Text(text) == bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string bytes = DecodeBase64Text(text);
    Require(int64_t(bytes.size()) <= Base64DecodedSize(int64_t(text.size())));
    Require(DecodedInTwoRuns(text, size > 0 ? data[0] % (size + 1) : 0) == bytes);
    CheckEncoding(bytes);
    CheckEncoding(text);
    return 0;
}
