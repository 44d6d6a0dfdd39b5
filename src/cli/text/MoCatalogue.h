#pragma once
// A catalogue compiled by msgfmt (.mo), read in place: the bytes stay where they are and every
// text handed out points into them.

#include <cstddef>
#include <string_view>
#include <vector>

namespace velor::cli {

class MoCatalogue {
  public:
    MoCatalogue() = default;
    // bytes must outlive the catalogue. Bytes that are not a whole .mo file give an empty
    // catalogue: every text then stays as it is.
    MoCatalogue(const unsigned char* bytes, std::size_t size);

    // The translation of original, or nullptr when the catalogue has none (or an empty one).
    const char* Find(std::string_view original) const;
    std::size_t Size() const { return m_entries.size(); }

  private:
    struct Entry {
        std::string_view original;
        const char* translation;
    };
    std::vector<Entry> m_entries;  // sorted by original
};

}  // namespace velor::cli
