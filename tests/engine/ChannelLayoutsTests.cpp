#include "engine/ChannelLayouts.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/rtl/Exceptions.h"

namespace {

// A layout of Count channels without order, or the default one of a count, or
// one of a mask.
AVChannelLayout Unordered(int count) { return AVChannelLayout{AV_CHANNEL_ORDER_UNSPEC, count, {}, nullptr}; }
AVChannelLayout Default(int count) {
    AVChannelLayout layout{};
    avlib::av_channel_layout_default(&layout, count);
    return layout;
}
AVChannelLayout Mask(int count, uint64_t mask) {
    AVChannelLayout layout{AV_CHANNEL_ORDER_NATIVE, count, {}, nullptr};
    layout.u.mask = mask;
    return layout;
}

std::string Described(const AVChannelLayout& layout) {
    char text[64] = "";
    avlib::av_channel_layout_describe(&layout, text, sizeof text);
    return text;
}

class ChannelLayouts : public testing::Test {
protected:
    static void SetUpTestSuite() { LoadAVLib(); }
};

TEST_F(ChannelLayouts, AnUnorderedSideTakesTheOtherSidesLayoutOrTheDefault) {
    const AVChannelLayout downmix = Mask(2, AV_CH_LAYOUT_STEREO_DOWNMIX);
    struct Case {
        const char* name;
        AVChannelLayout input, output, wantInput, wantOutput;
    };
    const Case cases[] = {
        {"input takes the output's of the same count", Unordered(2), downmix, downmix, downmix},
        {"input of another count takes its default", Unordered(2), Default(6), Default(2), Default(6)},
        {"output takes the input's of the same count", downmix, Unordered(2), downmix, downmix},
        {"output of another count takes its default", downmix, Unordered(6), downmix, Default(6)},
        {"both unordered take the input's default", Unordered(1), Unordered(1), Default(1), Default(1)},
        {"ordered layouts stay", Default(6), downmix, Default(6), downmix},
    };
    for (Case c : cases) {
        CompleteChannelLayouts(c.input, c.output);
        EXPECT_EQ(avlib::av_channel_layout_compare(&c.input, &c.wantInput), 0) << c.name << ": " << Described(c.input);
        EXPECT_EQ(avlib::av_channel_layout_compare(&c.output, &c.wantOutput), 0) << c.name << ": " << Described(c.output);
    }
}

TEST_F(ChannelLayouts, ACountWithoutDefaultRaisesTheSidesText) {
    // FFmpeg knows no layout of eleven channels.
    struct Case {
        AVChannelLayout input, output;
        const char16_t* text;
    };
    const Case cases[] = {
        {Unordered(11), Default(2), u"unable to find default channel"},
        {Default(2), Unordered(11), u"Unable to find default channle layout"},
    };
    for (Case c : cases) {
        std::optional<String> raised;
        try {
            CompleteChannelLayouts(c.input, c.output);
        } catch (const Exception& error) {
            raised = error.Message();
        }
        EXPECT_EQ(raised, String(c.text));
    }
    AVChannelLayout frame = Unordered(11);
    EXPECT_THROW(CompleteInputChannelLayout(frame), Exception);
    EXPECT_FALSE(OrderByDefault(frame));
    EXPECT_EQ(frame.order, AV_CHANNEL_ORDER_UNSPEC);
}

} // namespace
