#include "engine/AVPointers.h"

TFramePtr NewFrame() {
    TFramePtr frame(avlib::av_frame_alloc());
    if (!frame) throw EOutOfMemory("Out of memory");
    return frame;
}

TPacketPtr NewPacket() {
    TPacketPtr packet(avlib::av_packet_alloc());
    if (!packet) throw EOutOfMemory("Out of memory");
    return packet;
}
