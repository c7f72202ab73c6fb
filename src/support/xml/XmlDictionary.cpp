#include "support/xml/XmlDictionary.h"

#include <bit>
#include <functional>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace {

constexpr int kPrimes[] = {97,       193,      389,       769,       1543,      3079,     6151,
                           12289,    24593,    49157,     98317,     196613,    393241,   786433,
                           1572869,  3145739,  6291469,   12582917,  25165843,  50331653, 100663319,
                           201326611, 402653189, 805306457, 1610612741};

// Prime bucket count for Count strings: 2^k >= Count with k >= 6 selects the k-th prime.
int BucketsFor(size_t count) {
    int k = 6;
    while ((size_t{1} << k) < count) ++k;
    RTL_ASSERT(k <= 30, "XmlDictionary: name table full");
    return kPrimes[k - 6];
}

}  // namespace

TDictionary::TDictionary() : buckets_(kPrimes[0], -1), threshold_(kPrimes[0] * 2 / 3) {}

int TDictionary::Intern(const String& s) {
    const size_t h = std::hash<String>()(s);
    for (int id = buckets_[h % buckets_.size()]; id >= 0; id = next_[id])
        if (hashes_[id] == h && strings_[id] == s) return id;
    const int id = Count();
    strings_.push_back(s);
    hashes_.push_back(h);
    next_.push_back(-1);
    if (id + 1 < threshold_)
        Link(id);
    else
        Rebuild();
    return id;
}

const String& TDictionary::TextOf(int id) const {
    if (id < 0 || id >= Count()) throw EListError(Format(u"List index out of bounds (%d)", {id}));
    return strings_[id];
}

void TDictionary::Link(int id) {
    int& head = buckets_[hashes_[id] % buckets_.size()];
    next_[id] = head;
    head = id;
}

void TDictionary::Rebuild() {
    const int buckets = BucketsFor(strings_.size());
    buckets_.assign(buckets, -1);
    threshold_ = buckets * 2 / 3;
    for (int id = 0; id < Count(); ++id) Link(id);
}
