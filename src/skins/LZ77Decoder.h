#pragma once
// TLZ77Decoder: one zlib inflate stream, fed piece by piece. Decode inflates
// from Source into Dest and advances both to where inflate stopped.

#include <cstdint>

#include <zlib.h>

#include "platform/ui/graphics/Graphic.h"

// Inflate could not be set up or ended badly.
RTL_DECLARE_EXCEPTION(EGraphicCompression, EInvalidGraphic);

class TLZ77Decoder {
public:
    // FlushMode is handed to every inflate call (Z_PARTIAL_FLUSH for PNG);
    // AutoReset resets the stream before each Decode.
    TLZ77Decoder(int flushMode, bool autoReset) noexcept;
    ~TLZ77Decoder();
    TLZ77Decoder(const TLZ77Decoder&) = delete;
    TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

    // Raise EGraphicCompression "LZ77 decompression error." when zlib fails.
    void DecodeInit();
    void DecodeEnd();
    // Stores inflate's result in ZLibResult; a failed auto-reset stops before inflating.
    void Decode(const uint8_t*& source, uint8_t*& dest, int32_t packedSize, int32_t unpackedSize);

    uint32_t AvailableInput() const noexcept { return stream_.avail_in; }
    uint32_t AvailableOutput() const noexcept { return stream_.avail_out; }
    int ZLibResult() const noexcept { return zlibResult_; }

private:
    z_stream stream_{};
    bool initialized_ = false;
    int zlibResult_ = Z_OK;
    int flushMode_;
    bool autoReset_;
};
