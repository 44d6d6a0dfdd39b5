#include "cli/text/MoCatalogue.h"

#include <algorithm>
#include <cstdint>

namespace velor::cli {

namespace {

constexpr std::uint32_t kMagic = 0x950412de;

struct Reader {
    const unsigned char* bytes;
    std::size_t size;
    bool swapped;

    bool Word(std::size_t at, std::uint32_t& value) const {
        if (at > size || size - at < 4) {
            return false;
        }
        const unsigned char* p = bytes + at;
        value = swapped ? (std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 |
                           std::uint32_t{p[2]} << 8 | p[3])
                        : (std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 |
                           std::uint32_t{p[1]} << 8 | p[0]);
        return true;
    }

    // The string described at a table slot: its length, then its offset; msgfmt ends each with
    // a NUL that the length leaves out.
    bool Text(std::size_t slot, std::string_view& text) const {
        std::uint32_t length = 0;
        std::uint32_t offset = 0;
        if (!Word(slot, length) || !Word(slot + 4, offset) || offset > size ||
            size - offset <= length || bytes[offset + length] != '\0') {
            return false;
        }
        text = {reinterpret_cast<const char*>(bytes + offset), length};
        return true;
    }
};

}  // namespace

MoCatalogue::MoCatalogue(const unsigned char* bytes, std::size_t size) {
    Reader reader{bytes, size, false};
    std::uint32_t magic = 0;
    if (bytes == nullptr || !reader.Word(0, magic)) {
        return;
    }
    if (magic != kMagic) {
        reader.swapped = true;
        if (!reader.Word(0, magic) || magic != kMagic) {
            return;
        }
    }
    std::uint32_t count = 0;
    std::uint32_t originals = 0;
    std::uint32_t translations = 0;
    if (!reader.Word(8, count) || !reader.Word(12, originals) || !reader.Word(16, translations) ||
        count > size / 8) {
        return;
    }
    std::vector<Entry> entries;
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view original;
        std::string_view translation;
        if (!reader.Text(originals + std::size_t{i} * 8, original) ||
            !reader.Text(translations + std::size_t{i} * 8, translation)) {
            return;
        }
        // The header (empty original) and untranslated texts are no translations.
        if (!original.empty() && !translation.empty()) {
            entries.push_back({original, translation.data()});
        }
    }
    // msgfmt sorts them already; a catalogue from elsewhere need not be.
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.original < b.original; });
    m_entries = std::move(entries);
}

const char* MoCatalogue::Find(std::string_view original) const {
    const auto it = std::lower_bound(
        m_entries.begin(), m_entries.end(), original,
        [](const Entry& entry, std::string_view text) { return entry.original < text; });
    return it != m_entries.end() && it->original == original ? it->translation : nullptr;
}

}  // namespace velor::cli
