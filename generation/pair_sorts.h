#pragma once
// Which bond sorts apply to a pair of atoms: the sorts whose two symbols are
// the two atoms' element keys, in either order, in table order. Built once
// per search so that the inner loops compare small integers, not strings.

#include <string>
#include <unordered_map>
#include <vector>

#include "core/document.h"

namespace veldor::detail {

class PairSorts {
  public:
    // keys: the element key of every atom of the search.
    PairSorts(const std::vector<BondSort>& sorts, const std::vector<std::string>& keys);

    // Key number of each atom; -1 when no sort names its key.
    const std::vector<int>& atom_keys() const { return atom_keys_; }
    // Sort numbers (0-based, ascending) for two key numbers (both >= 0).
    const std::vector<int>& sorts(int k1, int k2) const;
    // Largest maximum distance among the sorts that can apply to some pair
    // of the atoms (NaN distances left out, +inf kept); 0 when none.
    double reach() const { return reach_; }
    // Key text of a key number.
    const std::string& key(int k) const { return key_texts_[static_cast<std::size_t>(k)]; }

  private:
    std::vector<int> atom_keys_;
    std::vector<std::string> key_texts_;
    int key_count_ = 0;
    std::vector<std::vector<int>> table_;                     // key_count_^2 lists, or
    std::unordered_map<long long, std::vector<int>> sparse_;  // when the keys are many
    std::vector<int> none_;
    double reach_ = 0;
};

}  // namespace veldor::detail
