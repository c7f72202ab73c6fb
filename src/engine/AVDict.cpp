#include "engine/AVDict.h"

#include "platform/rtl/Exceptions.h"

void TAVDict::Set(const std::string& key, const std::string& value, int flags) {
    if (avlib::av_dict_set(&dict_, key.c_str(), value.c_str(), flags) < 0)
        throw EOutOfMemory("Out of memory");
}

const char* TAVDict::Find(const std::string& key) const {
    const AVDictionaryEntry* entry = avlib::av_dict_get(dict_, key.c_str(), nullptr, AV_DICT_MATCH_CASE);
    return entry ? entry->value : nullptr;
}

int TAVDict::Count() const { return avlib::av_dict_count(dict_); }

TAVDict TAVDict::Copy() const {
    TAVDict copy;
    if (avlib::av_dict_copy(copy.Address(), dict_, 0) < 0) throw EOutOfMemory("Out of memory");
    return copy;
}

void TAVDict::Clear() noexcept {
    if (dict_) avlib::av_dict_free(&dict_);
}
