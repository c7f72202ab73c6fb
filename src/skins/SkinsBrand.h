#pragma once
// The skin library's brand word, shown in its file-format descriptions and
// messages.

inline constexpr char16_t kSkinsBrand[] = u"Plumewright";
