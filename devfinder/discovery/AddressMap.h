#pragma once
// A map from sender address to one owned value: 17 buckets chosen by
// (address >> 4) % 17, new entries at the front of their chain. The walk
// order (buckets 0..16, each chain front to back) decides the order in
// which replies are examined and so the order of the list rows.

#include <array>
#include <cstddef>
#include <forward_list>
#include <utility>

#include "Ipv4Address.h"

template <typename Value>
class AddressMap {
public:
    static constexpr std::size_t kBucketCount = 17;

    static std::size_t BucketOf(Ipv4Address address) { return (address >> 4) % kBucketCount; }

    // A later value for the same address replaces the earlier one in place.
    void Set(Ipv4Address address, Value value)
    {
        auto& chain = buckets_[BucketOf(address)];
        for (auto& entry : chain) {
            if (entry.first == address) {
                entry.second = std::move(value);
                return;
            }
        }
        chain.emplace_front(address, std::move(value));
        ++size_;
    }

    const Value* Find(Ipv4Address address) const
    {
        for (const auto& entry : buckets_[BucketOf(address)]) {
            if (entry.first == address) {
                return &entry.second;
            }
        }
        return nullptr;
    }

    void Clear()
    {
        for (auto& chain : buckets_) {
            chain.clear();
        }
        size_ = 0;
    }

    std::size_t Size() const { return size_; }

    // Calls visit(address, value) in walk order; stops early when it returns false.
    template <typename Visitor>
    void Walk(Visitor&& visit) const
    {
        for (const auto& chain : buckets_) {
            for (const auto& entry : chain) {
                if (!visit(entry.first, entry.second)) {
                    return;
                }
            }
        }
    }

private:
    std::array<std::forward_list<std::pair<Ipv4Address, Value>>, kBucketCount> buckets_;
    std::size_t size_ = 0;
};
