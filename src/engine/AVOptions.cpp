#include "engine/AVOptions.h"

#include "platform/rtl/StringList.h"

namespace {

const AVOption* FindOption(const AVClass* cls, const char* name, int flags, int search) {
    return avlib::av_opt_find(&cls, name, nullptr, flags, search | AV_OPT_SEARCH_FAKE_OBJ);
}

} // namespace

void TAVOptionState::SetDefault(const std::string& name, const std::string& value) {
    const char* key = name.c_str();
    if (const AVOption* option = FindOption(avlib::avcodec_get_class(), key, 0, AV_OPT_SEARCH_CHILDREN))
        codecOptions_.Set(name, value, option->type == AV_OPT_TYPE_FLAGS ? AV_DICT_APPEND : 0);
    if (const AVOption* option = FindOption(avlib::avformat_get_class(), key, 0, AV_OPT_SEARCH_CHILDREN))
        formatOptions_.Set(name, value, option->type == AV_OPT_TYPE_FLAGS ? AV_DICT_APPEND : 0);
}

void TAVOptionState::Apply(const TStrings& lines) {
    for (int i = 0; i < lines.Count(); ++i) {
        const String line = lines.Strings(i);
        const auto equals = line.find(u'=');
        if (equals == String::npos) continue;
        SetDefault(line.substr(0, equals).ToUtf8(), line.substr(equals + 1).ToUtf8());
    }
}

void TAVOptionState::Reset() noexcept {
    formatOptions_.Clear();
    codecOptions_.Clear();
}

TAVDict StreamCodecOptions(const TAVDict& codecOptions, AVMediaType type, const AVCodec* codec, bool encoder) {
    int flags = encoder ? AV_OPT_FLAG_ENCODING_PARAM : AV_OPT_FLAG_DECODING_PARAM;
    char prefix = 0;
    switch (type) {
    case AVMEDIA_TYPE_VIDEO: prefix = 'v'; flags |= AV_OPT_FLAG_VIDEO_PARAM; break;
    case AVMEDIA_TYPE_AUDIO: prefix = 'a'; flags |= AV_OPT_FLAG_AUDIO_PARAM; break;
    case AVMEDIA_TYPE_SUBTITLE: prefix = 's'; flags |= AV_OPT_FLAG_SUBTITLE_PARAM; break;
    default: break;
    }
    const AVClass* codecClass = avlib::avcodec_get_class();
    const auto isOption = [&](const char* name) {
        return FindOption(codecClass, name, flags, 0) ||
               (codec && codec->priv_class && FindOption(codec->priv_class, name, flags, 0));
    };
    const bool audioEncoder = encoder && type == AVMEDIA_TYPE_AUDIO;

    TAVDict result;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = avlib::av_dict_get(codecOptions.Get(), "", entry, AV_DICT_IGNORE_SUFFIX))) {
        const std::string name = entry->key;
        if (audioEncoder && name == "b") continue;
        if (audioEncoder && name == "ab")
            result.Set("b", entry->value);
        else if (isOption(name.c_str()))
            result.Set(name, entry->value);
        else if (prefix && name.size() > 1 && name[0] == prefix && FindOption(codecClass, name.c_str() + 1, flags, 0))
            result.Set(name.substr(1), entry->value);
    }
    return result;
}
