#include "support/storage/XcUtils.h"

namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

uint8_t KeyByte(const String& key, size_t index) { return key.empty() ? 0 : static_cast<uint8_t>(key[index % key.size()]); }

} // namespace

bool VariantIsInteger(const Variant& value) {
    switch (value.VarType()) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
        return true;
    default:
        return false;
    }
}

String XorEncodeHex(const String& key, const String& value) {
    static constexpr char16_t digits[] = u"0123456789abcdef";
    String result;
    result.reserve(value.size() * 2);
    for (size_t i = 0; i < value.size(); ++i) {
        const uint8_t b = static_cast<uint8_t>(value[i]) ^ KeyByte(key, i);
        result += digits[b >> 4];
        result += digits[b & 15];
    }
    return result;
}

String XorDecodeHex(const String& key, const String& hex) {
    String result;
    result.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size() / 2; ++i) {
        const int high = HexDigit(hex[2 * i]), low = HexDigit(hex[2 * i + 1]);
        const uint8_t b = high < 0 || low < 0 ? 32 : static_cast<uint8_t>(high << 4 | low);
        result += static_cast<char16_t>(b ^ KeyByte(key, i));
    }
    return result;
}
