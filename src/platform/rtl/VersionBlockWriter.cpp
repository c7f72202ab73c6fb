#include "platform/rtl/VersionBlockWriter.h"

#include <cstring>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/VersionInfo.h"

namespace {

void PutWord(std::vector<uint8_t>& out, uint16_t word) {
    out.push_back(static_cast<uint8_t>(word));
    out.push_back(static_cast<uint8_t>(word >> 8));
}

void PadTo4(std::vector<uint8_t>& out) { out.resize(AlignVersionOffset(out.size())); }

void Write(std::vector<uint8_t>& out, const TVersionBlockNode& node) {
    const size_t start = out.size();
    PutWord(out, 0);
    PutWord(out, node.ValueLength);
    PutWord(out, node.Type);
    for (char16_t c : node.Key) PutWord(out, c);
    PutWord(out, 0);
    PadTo4(out);
    out.insert(out.end(), node.Value.begin(), node.Value.end());
    for (const TVersionBlockNode& child : node.Children) {
        PadTo4(out);
        Write(out, child);
    }
    const size_t length = out.size() - start;
    if (length > 0xFFFF) throw EArgumentException("Version block entry " + node.Key + " is too long");
    out[start] = static_cast<uint8_t>(length);
    out[start + 1] = static_cast<uint8_t>(length >> 8);
}

// "1.2.3.4" as the two 32-bit halves of the fixed information; missing parts are 0.
std::pair<uint32_t, uint32_t> VersionWords(const String& version) {
    uint32_t parts[4] = {};
    size_t start = 0;
    for (int i = 0; i < 4 && start <= version.size(); ++i) {
        size_t end = version.find(u'.', start);
        if (end == String::npos) end = version.size();
        const int value = StrToInt(version.substr(start, end - start));
        if (value < 0 || value > 0xFFFF) throw EConvertError("'" + version + "' is not a valid version");
        parts[i] = static_cast<uint32_t>(value);
        start = end + 1;
    }
    if (start <= version.size()) throw EConvertError("'" + version + "' is not a valid version");
    return {parts[0] << 16 | parts[1], parts[2] << 16 | parts[3]};
}

} // namespace

TVersionBlockNode TVersionBlockNode::Text(const String& key, const String& text) {
    TVersionBlockNode node{key, 1, {}, static_cast<uint16_t>(text.size() + 1), {}};
    for (char16_t c : text) PutWord(node.Value, c);
    PutWord(node.Value, 0);
    return node;
}

TVersionBlockNode TVersionBlockNode::Binary(const String& key, std::span<const uint8_t> bytes) {
    return {key, 0, {bytes.begin(), bytes.end()}, static_cast<uint16_t>(bytes.size()), {}};
}

TVersionBlockNode TVersionBlockNode::Parent(const String& key, std::vector<TVersionBlockNode> children) {
    return {key, 1, {}, 0, std::move(children)};
}

std::vector<uint8_t> WriteVersionBlock(const TVersionBlockNode& root) {
    std::vector<uint8_t> out;
    Write(out, root);
    return out;
}

std::vector<uint8_t> ProgramVersionBlock(const TVersionResourceInfo& info) {
    const auto [high, low] = VersionWords(info.Version);
    VS_FIXEDFILEINFO fixed{};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    fixed.dwFileVersionMS = fixed.dwProductVersionMS = high;
    fixed.dwFileVersionLS = fixed.dwProductVersionLS = low;
    fixed.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
    fixed.dwFileOS = VOS_UNKNOWN;
    fixed.dwFileType = VFT_APP;
    uint8_t fixedBytes[sizeof fixed];
    std::memcpy(fixedBytes, &fixed, sizeof fixed);

    std::vector<TVersionBlockNode> strings;
    const std::pair<const char16_t*, const String*> values[] = {
        {u"CompanyName", &info.CompanyName},   {u"FileDescription", &info.FileDescription},
        {u"FileVersion", &info.Version},       {u"InternalName", &info.InternalName},
        {u"OriginalFilename", &info.OriginalFilename}, {u"ProductName", &info.ProductName},
        {u"ProductVersion", &info.Version},
    };
    for (const auto& [key, value] : values)
        if (!value->IsEmpty()) strings.push_back(TVersionBlockNode::Text(key, *value));

    const uint8_t translation[] = {0x04, 0x08, 0xB0, 0x04}; // 0x0804, code page 0x04B0
    TVersionBlockNode root = TVersionBlockNode::Binary(u"VS_VERSION_INFO", fixedBytes);
    root.Children = {
        TVersionBlockNode::Parent(u"StringFileInfo", {TVersionBlockNode::Parent(u"080404b0", std::move(strings))}),
        TVersionBlockNode::Parent(u"VarFileInfo", {TVersionBlockNode::Binary(u"Translation", translation)}),
    };
    return WriteVersionBlock(root);
}
