#pragma once
// TDictionary: the name table of one document. Interns strings so that nodes
// store small identifiers; an identifier is the string's index and never changes,
// and so does the string it names.

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/rtl/TObject.h"

class TDictionary : public TObject {
public:
    TDictionary();

    int Intern(const String& s);
    // Raises EListError for an identifier out of range.
    const String& TextOf(int id) const;
    int Count() const noexcept { return static_cast<int>(strings_.size()); }
    int BucketCount() const noexcept { return static_cast<int>(buckets_.size()); }
    int Threshold() const noexcept { return threshold_; }

private:
    void Rebuild();
    void Link(int id);

    std::deque<String> strings_;  // a deque keeps references to its strings valid
    std::vector<size_t> hashes_;
    std::vector<int> buckets_;  // first identifier of each chain, -1 when empty
    std::vector<int> next_;     // next identifier in the same chain
    int threshold_ = 0;
};
