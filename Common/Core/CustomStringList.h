// Sorted list of text keys, each with an attached object. Keys compare byte
// by byte (case-sensitive; on a common prefix the shorter one sorts first).
#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mc {

enum class TDuplicates { Ignore, Accept, Error };

template <class T>
class TCustomStringList {
public:
    struct Entry {
        std::string Key;
        T Object{};
    };

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted)
    {
        if (sorted && !sorted_) Sort();
        sorted_ = sorted;
    }
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Key(int i) const { return items_.at(static_cast<size_t>(i)).Key; }
    T& Object(int i) { return items_.at(static_cast<size_t>(i)).Object; }
    const T& Object(int i) const { return items_.at(static_cast<size_t>(i)).Object; }
    const std::vector<Entry>& Items() const { return items_; }

    // Bisection over the sorted keys. True when found; index is the
    // position found (the first equal one unless duplicates are accepted)
    // or the insertion position.
    bool Find(std::string_view key, int& index) const
    {
        int low = 0, high = Count() - 1;
        bool found = false;
        while (low <= high) {
            const int mid = (low + high) / 2;
            const int c = items_[static_cast<size_t>(mid)].Key.compare(key);
            if (c < 0) {
                low = mid + 1;
            } else {
                high = mid - 1;
                if (c == 0) {
                    found = true;
                    if (duplicates_ != TDuplicates::Accept) low = mid;
                }
            }
        }
        index = low;
        return found;
    }

    // -1 when absent; exact (case-sensitive) match.
    int IndexOf(std::string_view key) const
    {
        if (sorted_) {
            int i;
            return Find(key, i) ? i : -1;
        }
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i].Key == key) return static_cast<int>(i);
        return -1;
    }

    // Adds a key; in a sorted list at its place. A duplicate is ignored
    // (returning the existing index), accepted, or raises std::invalid_argument.
    int Add(std::string key, T object = T{})
    {
        if (!sorted_) {
            items_.push_back({std::move(key), std::move(object)});
            return Count() - 1;
        }
        // Keys that come in order are appended without a search.
        if (items_.empty() || items_.back().Key.compare(key) < 0) {
            items_.push_back(Entry{std::move(key), std::move(object)});
            return Count() - 1;
        }
        int index;
        if (Find(key, index)) {
            if (duplicates_ == TDuplicates::Ignore) return index;
            if (duplicates_ == TDuplicates::Error) throw std::invalid_argument("String list does not allow duplicates");
        }
        items_.insert(items_.begin() + index, Entry{std::move(key), std::move(object)});
        return index;
    }

    void Delete(int index) { items_.erase(items_.begin() + index); }
    void Clear() { items_.clear(); }

private:
    void Sort()
    {
        std::stable_sort(items_.begin(), items_.end(), [](const Entry& a, const Entry& b) { return a.Key < b.Key; });
    }

    std::vector<Entry> items_;
    bool sorted_ = false;
    TDuplicates duplicates_ = TDuplicates::Ignore;
};

}  // namespace mc
