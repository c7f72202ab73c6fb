#pragma once
// The titles of a DVD-Video disc, folder or image, as a scan finds them.

#include <memory>
#include <vector>

#include "engine/DvdNavigation.h"
#include "platform/rtl/TObject.h"

class TDvdTitle : public TObject {
public:
    explicit TDvdTitle(const TDvdTitleRecord& record) : record_(record) {}

    // The title's number on the disc (from 1), which TDvdStream takes.
    int Index() const noexcept { return record_.index; }
    int Hours() const noexcept { return record_.hours; }
    int Minutes() const noexcept { return record_.minutes; }
    int Seconds() const noexcept { return record_.seconds; }
    int AngleCount() const noexcept { return record_.angleCount; }
    int ChapterCount() const noexcept { return record_.chapterCount; }
    int AudioCount() const noexcept { return record_.audioCount; }
    int SubtitleCount() const noexcept { return record_.subtitleCount; }

private:
    TDvdTitleRecord record_;
};

class TDvdInfo : public TObject {
public:
    // Scans every title; a title that cannot be scanned or started is left
    // out, so list positions may differ from title numbers. Raises
    // Exception "Can not open DVD".
    explicit TDvdInfo(const String& path, const TDvdNavigationOpener& open = OpenDvdNavigation);

    const String& Path() const noexcept { return path_; }
    int TitleCount() const noexcept { return static_cast<int>(titles_.size()); }
    // Index from 0; raises EListError out of range.
    TDvdTitle* Titles(int index) const;

private:
    String path_;
    std::vector<std::unique_ptr<TDvdTitle>> titles_;
};
