#include "generation/pair_sorts.h"

#include <algorithm>
#include <cmath>

#include "core/elements.h"

namespace veldor::detail {

namespace {
constexpr int kDenseKeys = 128;
}

PairSorts::PairSorts(const std::vector<BondSort>& sorts, const std::vector<std::string>& keys) {
    // Number the keys that some sort names.
    std::unordered_map<std::string, int> number;
    std::vector<std::pair<int, int>> sort_keys(sorts.size());
    for (std::size_t s = 0; s < sorts.size(); ++s) {
        const std::string k[2] = {element_key(sorts[s].element1), element_key(sorts[s].element2)};
        int id[2];
        for (int e = 0; e < 2; ++e) {
            auto [it, added] = number.try_emplace(k[e], static_cast<int>(key_texts_.size()));
            if (added) key_texts_.push_back(k[e]);
            id[e] = it->second;
        }
        sort_keys[s] = {id[0], id[1]};
    }
    key_count_ = static_cast<int>(key_texts_.size());

    atom_keys_.resize(keys.size());
    std::vector<char> present(static_cast<std::size_t>(key_count_), 0);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        auto it = number.find(keys[i]);
        atom_keys_[i] = it == number.end() ? -1 : it->second;
        if (atom_keys_[i] >= 0) present[static_cast<std::size_t>(atom_keys_[i])] = 1;
    }

    const bool dense = key_count_ <= kDenseKeys;
    if (dense) table_.resize(static_cast<std::size_t>(key_count_ * key_count_));
    auto add = [&](int a, int b, int s) {
        if (dense)
            table_[static_cast<std::size_t>(a * key_count_ + b)].push_back(s);
        else
            sparse_[static_cast<long long>(a) * key_count_ + b].push_back(s);
    };
    for (std::size_t s = 0; s < sorts.size(); ++s) {
        const auto [a, b] = sort_keys[s];
        add(a, b, static_cast<int>(s));
        if (a != b) add(b, a, static_cast<int>(s));
        if (present[static_cast<std::size_t>(a)] && present[static_cast<std::size_t>(b)]) {
            const double d = sorts[s].max_distance;
            if (!std::isnan(d)) reach_ = std::max(reach_, d);
        }
    }
}

const std::vector<int>& PairSorts::sorts(int k1, int k2) const {
    if (!table_.empty()) return table_[static_cast<std::size_t>(k1 * key_count_ + k2)];
    auto it = sparse_.find(static_cast<long long>(k1) * key_count_ + k2);
    return it == sparse_.end() ? none_ : it->second;
}

}  // namespace veldor::detail
