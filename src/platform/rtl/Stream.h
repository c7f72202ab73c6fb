#pragma once
// TStream: the byte-stream base. Positions and sizes are 64-bit. Read and Write
// move at most Count bytes and return how many moved; ReadBuffer and
// WriteBuffer move all of it or raise.

#include <cstdint>

#include "platform/rtl/TObject.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };
using enum TSeekOrigin;

class TStream : public TObject {
public:
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t value) { Seek(value, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);

    // Raises EReadError ("Stream read error") on a short read.
    void ReadBuffer(void* buffer, int64_t count);
    // Raises EWriteError ("Stream write error") on a short write.
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
    int64_t CopyFrom(TStream& source, int64_t count);
};
