#include "TestDvd.h"

#include <cstdlib>
#include <fstream>

#include "TestMedia.h"
#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"

String TestDvdFolder() {
    static const String disc = [] {
        const String folder = IncludeTrailingPathDelimiter(DataFolder()) + "dvd/";
        if (!ForceDirectories(folder)) throw Exception("Cannot create " + folder);
        const TTestTrack video = VideoTrack(720, 576, "mpeg2video", kTestDvdRate);
        const TTestTrack audio = AudioTrack(2, "mp2", 48000);
        WriteTestMedia(folder + "t1.dvd", {video, audio}, 60);
        WriteTestMedia(folder + "t2.dvd", {video, audio}, 30);
        WriteTestMedia(folder + "t3.dvd", {video, audio, audio}, 40);
        const std::string dir = folder.ToUtf8();
        std::ofstream(dir + "disc.xml") << R"(<dvdauthor dest="VIDEO">
  <vmgm><menus><video format="pal"/></menus></vmgm>
  <titleset><titles>
    <video format="pal" aspect="4:3"/>
    <pgc><vob file="t1.dvd" chapters="0,2,4"/></pgc>
    <pgc><vob file="t2.dvd" chapters="0,1.5"/></pgc>
  </titles></titleset>
  <titleset><titles>
    <video format="pal" aspect="4:3"/>
    <pgc><vob file="t3.dvd"/></pgc>
  </titles></titleset>
</dvdauthor>
)";
        const std::string command = "cd '" + dir + "' && dvdauthor -x disc.xml >dvdauthor.log 2>&1";
        if (std::system(command.c_str()) != 0)
            throw Exception("dvdauthor failed or is missing: see " + String(dir) + "dvdauthor.log");
        return folder + "VIDEO";
    }();
    return disc;
}

String TestDvdImage() {
    static const String image = [] {
        const std::string folder = TestDvdFolder().ToUtf8();
        const std::string command = "genisoimage -quiet -dvd-video -V TESTDVD -o '" + folder + ".iso' '" + folder +
                                    "' >'" + folder + "-iso.log' 2>&1";
        if (std::system(command.c_str()) != 0)
            throw Exception("genisoimage failed or is missing: see " + String(folder) + "-iso.log");
        return String(folder + ".iso");
    }();
    return image;
}
