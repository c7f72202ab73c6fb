// Feeds arbitrary bytes to the readers of small blocks: 32-bit values, the
// target class, line lists and the text formats. Each decodes within the
// block; a value and a class need their whole size; text written again
// reads back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/dragdrop/FeedbackFormats.h"
#include "controls/dragdrop/TextFormats.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TPreferredDropEffectClipboardFormat effect;
    Require(effect.DecodeBlock(data, size) == (size >= 4));
    TTargetCLSIDClipboardFormat target;
    Require(target.DecodeBlock(data, size) == (size == 16));

    TCSVClipboardFormat csv;
    csv.DecodeBlock(data, size);
    if (csv.HasData()) {
        std::vector<uint8_t> block(csv.BlockSize());
        Require(csv.EncodeBlock(block.data(), block.size()));
    }

    TAnsiTextClipboardFormat ansi;
    Require(ansi.DecodeBlock(data, size));
    Require(ansi.Text().find('\0') == std::string::npos);
    TUnicodeTextClipboardFormat wide;
    Require(wide.DecodeBlock(data, size));
    Require(wide.Text().size() == size / 2);
    if (wide.HasData()) {
        std::vector<uint8_t> block(wide.BlockSize());
        Require(wide.EncodeBlock(block.data(), block.size()));
        TUnicodeTextClipboardFormat reread;
        reread.DecodeBlock(block.data(), block.size());
        Require(reread.Text().Std().substr(0, wide.Text().size()) == wide.Text().Std());
    }
    const std::string rtf = RichTextOf(wide.Text());
    Require(!rtf.empty());
    return 0;
}
