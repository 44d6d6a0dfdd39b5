#pragma once
// The lines of an Intel HEX text, walked in order without a list of them: a text of nothing but
// line ends costs no memory per line.

#include <cstddef>
#include <iterator>
#include <string_view>

namespace velor {

// Lines break at CR LF, CR or LF; a break at the very end adds no empty line. The views point
// into the text, which must outlive this object.
class HexLines {
  public:
    class Iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string_view*;
        using reference = std::string_view;

        Iterator() = default;
        Iterator(std::string_view text, std::size_t at) : m_text(text), m_at(at) { Find(); }
        std::string_view operator*() const { return m_text.substr(m_at, m_end - m_at); }
        Iterator& operator++() {
            m_at = m_next;
            Find();
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const Iterator& other) const { return m_at == other.m_at; }

      private:
        void Find();

        std::string_view m_text;
        std::size_t m_at = 0;    // where the current line begins
        std::size_t m_end = 0;   // where it ends (its break, or the text's end)
        std::size_t m_next = 0;  // where the line after it begins
        // The first LF at or after m_at, kept between lines: a text of CRs alone is not searched
        // to its end once per line.
        std::size_t m_lf = 0;
        bool m_lfKnown = false;
    };

    explicit HexLines(std::string_view text);

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    Iterator begin() const { return Iterator(m_text, 0); }
    Iterator end() const { return Iterator(m_text, m_text.size()); }

  private:
    std::string_view m_text;
    std::size_t m_count;
};

}  // namespace velor
