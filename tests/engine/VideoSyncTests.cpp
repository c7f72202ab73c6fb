#include "engine/VideoSync.h"

#include <gtest/gtest.h>

#include "engine/AVLib.h"

namespace {

struct TSyncCase {
    int method;
    double pts;
    double delta;
    int64_t pictures;
    int64_t nextOutput; // starts at 10
};

TEST(VideoSync, PicturesFollowTheSyncRules) {
    const TSyncCase cases[] = {
        {vsConstant, 12, 2.0, 2, 10},          // a picture missing: repeated
        {vsConstant, 11, 1.0, 1, 10},          // on time
        {vsConstant, 8.8, -1.2, 0, 10},        // early: dropped
        {vsConstant, 11.1, 1.1, 1, 10},        // within the margin
        {vsConstant, 13.4, 3.4, 3, 10},        // several missing
        {vsVariable, 10.7, 0.7, 1, 11},        // late: the clock moves to the picture
        {vsVariable, 9.4, -0.6, 0, 10},        // early: dropped
        {vsVariable, 10.5, 0.5, 1, 10},        // near enough: kept on the clock
        {vsPassthrough, 7.0, -3.0, 1, 7},      // always once, at its own time
        {vsDropTimestamps, 15.0, 5.0, 1, 15},
    };
    for (const TSyncCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "method " << c.method << " delta " << c.delta);
        int64_t nextOutput = 10;
        EXPECT_EQ(PicturesToEncode(c.method, c.pts, c.delta, nextOutput), c.pictures);
        EXPECT_EQ(nextOutput, c.nextOutput);
    }
}

TEST(VideoSync, AutomaticMethodFollowsTheMuxer) {
    EXPECT_EQ(ResolveVideoSync(vsAuto, 0), vsConstant);
    EXPECT_EQ(ResolveVideoSync(vsAuto, AVFMT_VARIABLE_FPS), vsVariable);
    EXPECT_EQ(ResolveVideoSync(vsAuto, AVFMT_VARIABLE_FPS | AVFMT_NOTIMESTAMPS), vsPassthrough);
    EXPECT_EQ(ResolveVideoSync(vsPassthrough, 0), vsPassthrough);
}

} // namespace
