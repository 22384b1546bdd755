#pragma once
// CenteringSelector: which observations a local centre applies to, as (alias number, name). An
// observation matches (k, s) with k >= 1 when its ID text in alias column k equals s exactly
// (case-sensitive); an observation with fewer IDs has the empty text there. The wildcard (-1, "")
// stands for every observation that no other selector of its map takes. Selectors are ordered as
// pairs: alias number first, then name.
//
// The free functions below are the one place where an entry of a selector-keyed map is found:
// the first entry in map order whose alias number is 1 or more and whose name is the text that
// `textOf(alias)` gives; otherwise the wildcard entry; otherwise none. Entries with an alias number
// below 1 other than the wildcard itself (a stream may hold them) are never found.

#include <climits>
#include <string>
#include <utility>

using CenteringSelector = std::pair<int, std::string>;

namespace CenteringSelectors {

// (-1, "").
inline CenteringSelector Wildcard() { return CenteringSelector(-1, std::string()); }

inline bool IsWildcard(const CenteringSelector& selector) { return selector.first == -1 && selector.second.empty(); }

// (alias, name), or the wildcard when the alias is below 1 or the name is null or empty.
inline CenteringSelector Make(int alias, const char* name) {
    if (alias < 1 || !name || !*name) return Wildcard();
    return CenteringSelector(alias, std::string(name));
}

// The entry of `map` (keyed by CenteringSelector) for the texts `textOf(alias)` (a const char*,
// never null) gives; map.end() when there is none. `key` is scratch space, so that repeated look-ups
// reuse one string's storage.
template <typename Map, typename TextOf>
typename Map::const_iterator Find(const Map& map, TextOf&& textOf, CenteringSelector& key) {
    auto group = map.lower_bound(CenteringSelector(1, std::string()));
    while (group != map.end()) {
        const int alias = group->first.first;
        key.first = alias;
        key.second.assign(textOf(alias));
        const auto found = map.find(key);
        if (found != map.end()) return found;
        if (alias == INT_MAX) break;
        group = map.lower_bound(CenteringSelector(alias + 1, std::string()));
    }
    return map.find(Wildcard());
}

// The entry for an observation or a name whose text is `name` in every alias column.
template <typename Map>
typename Map::const_iterator FindByName(const Map& map, const char* name, CenteringSelector& key) {
    const char* text = name ? name : "";
    return Find(
        map, [text](int) { return text; }, key);
}

}  // namespace CenteringSelectors
