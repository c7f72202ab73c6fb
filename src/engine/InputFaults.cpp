#include "engine/InputFaults.h"

#include <fstream>
#include <vector>

#include "engine/AVLib.h"
#include "platform/rtl/Format.h"

namespace {

// Bytes of the file's start a content probe looks at.
constexpr std::streamsize kFaultProbeBytes = 64 * 1024;
// Whether some demuxer recognises the file's first bytes with confidence, its name left aside.
bool ContentRecognised(std::ifstream& file) {
    std::vector<unsigned char> bytes(static_cast<size_t>(kFaultProbeBytes) + AVPROBE_PADDING_SIZE, 0);
    file.read(reinterpret_cast<char*>(bytes.data()), kFaultProbeBytes);
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = bytes.data();
    probe.buf_size = static_cast<int>(file.gcount());
    int score = 0;
    return avlib::av_probe_input_format3(&probe, 1, &score) && score > AVPROBE_SCORE_RETRY;
}

} // namespace

String InputFaultMessage(TInputFault fault, const String& url) {
    switch (fault) {
    case TInputFault::Unreadable: return Fmt("Input file %s does not exist or cannot be read", url);
    case TInputFault::NotMedia: return Fmt("Input file %s is not a media file", url);
    case TInputFault::CutShort: return Fmt("Input file %s is cut short or damaged", url);
    case TInputFault::Unsupported: return Fmt("Input file %s holds no stream this program can read", url);
    }
    return {};
}

TInputFault OpenFault(int error, const String& url) {
    std::ifstream file(url.ToUtf8(), std::ios::binary);
    if (error == AVERROR(ENOENT) || !file) return TInputFault::Unreadable;
    return ContentRecognised(file) ? TInputFault::CutShort : TInputFault::NotMedia;
}

void LogInputError(int error, const String& url) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    avlib::av_strerror(error, text, sizeof text);
    avlib::av_log(nullptr, AV_LOG_ERROR, "%s: %s\n", url.ToUtf8().c_str(), text);
}
