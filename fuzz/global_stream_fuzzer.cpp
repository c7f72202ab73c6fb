// Runs a script of stream operations over a global block and checks each
// answer against a plain byte vector: the first byte gives the script's
// length, the script follows, the rest is the block's initial content.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/Media.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

struct TModel {
    std::vector<uint8_t> bytes;
    uint64_t position = 0;
};

class TScript {
public:
    TScript(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Done() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t Word() { return uint16_t(Byte() | Byte() << 8); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t scriptSize = std::min<size_t>(data[0], size - 1);
    TScript script(data + 1, scriptSize);
    TModel model{{data + 1 + scriptSize, data + size}, 0};

    TIntfPtr<IStream> stream;
    Require(CreateStreamOnHGlobal(GlobalFromBytes(model.bytes.data(), model.bytes.size()), TRUE, stream) == S_OK);
    TModel cloneModel;
    TIntfPtr<IStream> clone;
    while (!script.Done()) {
        switch (script.Byte() % 6) {
        case 0: { // read
            const ULONG count = script.Word();
            std::vector<uint8_t> buffer(count);
            ULONG read = 0;
            Require(stream->Read(buffer.data(), count, &read) == S_OK);
            // A position past the end reads nothing.
            const uint64_t from = std::min<uint64_t>(model.position, model.bytes.size());
            Require(read == std::min<uint64_t>(count, model.bytes.size() - from));
            Require(std::equal(buffer.begin(), buffer.begin() + read, model.bytes.begin() + int64_t(from)));
            model.position += read;
            break;
        }
        case 1: { // seek
            const auto move = int64_t(int16_t(script.Word()));
            const DWORD origin = script.Byte() % 4;
            const int64_t base = origin == STREAM_SEEK_SET   ? 0
                                 : origin == STREAM_SEEK_CUR ? int64_t(model.position)
                                                             : int64_t(model.bytes.size());
            uint64_t position = 0;
            const HRESULT result = stream->Seek(move, origin, &position);
            if (origin > STREAM_SEEK_END || base + move < 0) {
                Require(result == STG_E_INVALIDFUNCTION);
            } else {
                Require(result == S_OK && position == uint64_t(base + move));
                model.position = position;
            }
            break;
        }
        case 2: { // write
            const ULONG count = script.Byte();
            std::vector<uint8_t> buffer(count, uint8_t(count));
            ULONG written = 0;
            Require(stream->Write(buffer.data(), count, &written) == S_OK && written == count);
            if (count) {
                if (model.position + count > model.bytes.size()) model.bytes.resize(model.position + count);
                std::copy(buffer.begin(), buffer.end(), model.bytes.begin() + int64_t(model.position));
                model.position += count;
            }
            break;
        }
        case 3: { // resize
            const uint64_t newSize = script.Word();
            Require(stream->SetSize(newSize) == S_OK);
            model.bytes.resize(newSize);
            break;
        }
        case 4: { // size and content
            STATSTG stat;
            Require(stream->Stat(stat, STATFLAG_NONAME) == S_OK && stat.cbSize == model.bytes.size());
            HGLOBAL memory = nullptr;
            Require(GetHGlobalFromStream(stream.get(), &memory) == S_OK);
            Require(*BytesOfGlobal(memory) == model.bytes);
            break;
        }
        case 5: { // a clone reads from where the stream is
            Require(stream->Clone(clone) == S_OK);
            uint8_t byte = 0;
            ULONG read = 0;
            Require(clone->Read(&byte, 1, &read) == S_OK);
            Require(read == (model.position < model.bytes.size() ? 1u : 0u));
            if (read) Require(byte == model.bytes[model.position]);
            break;
        }
        }
    }
    return 0;
}
