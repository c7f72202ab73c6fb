#include "skins/LZ77Decoder.h"

#include "skins/PNGStrings.h"

TLZ77Decoder::TLZ77Decoder(int flushMode, bool autoReset) noexcept : flushMode_(flushMode), autoReset_(autoReset) {}

TLZ77Decoder::~TLZ77Decoder() {
    if (initialized_) inflateEnd(&stream_);
}

void TLZ77Decoder::DecodeInit() {
    if (inflateInit(&stream_) != Z_OK) throw EGraphicCompression(kLZ77Error);
    initialized_ = true;
}

void TLZ77Decoder::DecodeEnd() {
    if (!initialized_) return;
    initialized_ = false;
    if (inflateEnd(&stream_) != Z_OK) throw EGraphicCompression(kLZ77Error);
}

void TLZ77Decoder::Decode(const uint8_t*& source, uint8_t*& dest, int32_t packedSize, int32_t unpackedSize) {
    stream_.next_in = const_cast<Bytef*>(source);
    stream_.avail_in = uInt(packedSize);
    if (autoReset_) {
        zlibResult_ = inflateReset(&stream_);
        if (zlibResult_ != Z_OK) return;
    }
    stream_.next_out = dest;
    stream_.avail_out = uInt(unpackedSize);
    zlibResult_ = inflate(&stream_, flushMode_);
    source = stream_.next_in;
    dest = stream_.next_out;
}
