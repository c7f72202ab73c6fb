#include "engine/ChannelLayouts.h"

#include "platform/rtl/Exceptions.h"

namespace {

bool HasOrder(const AVChannelLayout& layout) { return layout.order != AV_CHANNEL_ORDER_UNSPEC; }

void Copy(AVChannelLayout& to, const AVChannelLayout& from) {
    avlib::av_channel_layout_uninit(&to);
    if (avlib::av_channel_layout_copy(&to, &from) < 0) throw EOutOfMemory("Out of memory");
}

} // namespace

bool OrderByDefault(AVChannelLayout& layout) {
    if (HasOrder(layout)) return true;
    AVChannelLayout ordered{};
    avlib::av_channel_layout_default(&ordered, layout.nb_channels);
    if (!HasOrder(ordered)) return false;
    avlib::av_channel_layout_uninit(&layout);
    layout = ordered;
    return true;
}

void CompleteInputChannelLayout(AVChannelLayout& input) {
    if (!OrderByDefault(input)) throw Exception("unable to find default channel");
}

void CompleteChannelLayouts(AVChannelLayout& input, AVChannelLayout& output) {
    if (!HasOrder(input)) {
        if (HasOrder(output) && output.nb_channels == input.nb_channels) Copy(input, output);
        else CompleteInputChannelLayout(input);
    }
    if (!HasOrder(output)) {
        if (output.nb_channels == input.nb_channels) Copy(output, input);
        else if (!OrderByDefault(output)) throw Exception("Unable to find default channle layout");
    }
}
