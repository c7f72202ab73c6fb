#pragma once
// Resources embedded at build time: the files under a folder given to
// ostrel_add_resources (cmake/Resources.cmake), laid out as <KIND>/<NAME>,
// become the resource NAME of kind KIND (files directly in the folder are
// RCDATA). They are read back as streams over the program's own memory:
//   TResourceStream stream("SF", RT_RCDATA);

#include <cstdint>
#include <span>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/String.h"

RTL_DECLARE_EXCEPTION(EResNotFound, Exception);

inline constexpr const char16_t* RT_RCDATA = u"RCDATA";

struct TResourceEntry {
    const char16_t* Kind;
    const char16_t* Name;
    const uint8_t* Begin;
    const uint8_t* End;
};

// Called by the generated tables at start-up, before static objects are built
// in the usual order; the entries must outlive the program.
bool RegisterResources(std::span<const TResourceEntry> entries);
// The resource of that name and kind, both ignoring case; null when none.
const TResourceEntry* FindResource(const String& name, const String& kind);

class TResourceStream : public TCustomMemoryStream {
public:
    // Raises EResNotFound "Resource %s not found".
    TResourceStream(const String& name, const String& kind);
    // Raises EStreamError "Can't write to a read-only resource stream".
    int64_t Write(const void* buffer, int64_t count) override;
};
