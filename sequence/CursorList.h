#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

// An ordered list of small values with a cursor that is on one element or
// nowhere (before the first). The elements sit in one contiguous vector, so a
// sequence of millions of steps costs one element's size per step, not a heap
// node each.
template <typename Element> class CursorList {
  public:
    // Inserts a zero element after the cursor's element (at the front when the
    // cursor is nowhere) and moves the cursor onto it.
    void Add() {
        const auto position = static_cast<std::size_t>(cursor + 1);
        if (position == elements.size()) {
            elements.emplace_back();
        } else {
            elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(position), Element{});
        }
        cursor = static_cast<std::ptrdiff_t>(position);
    }

    void Clear() {
        elements.clear();
        cursor = nowhere;
    }

    void Reset() { cursor = nowhere; }

    // Moves to the following element; at the end reports false and stays put.
    bool Next() {
        if (static_cast<std::size_t>(cursor + 1) >= elements.size()) {
            return false;
        }
        ++cursor;
        return true;
    }

    // The cursor's 0-based position, -1 when it is nowhere.
    std::ptrdiff_t Index() const { return cursor; }

    std::size_t Size() const { return elements.size(); }

    // Puts the cursor on element i; out of range puts it nowhere and reports false.
    bool Select(std::ptrdiff_t i) {
        if (i < 0 || static_cast<std::size_t>(i) >= elements.size()) {
            cursor = nowhere;
            return false;
        }
        cursor = i;
        return true;
    }

    // Precondition: the cursor is on an element (throws std::logic_error otherwise).
    Element& Current() {
        RequireCursor();
        return elements[static_cast<std::size_t>(cursor)];
    }
    const Element& Current() const {
        RequireCursor();
        return elements[static_cast<std::size_t>(cursor)];
    }

    // Read-only view of all elements, for walks that must not pay a call per element.
    std::span<const Element> Elements() const { return elements; }

    // Appends a whole run at the end and leaves the cursor on the last element;
    // the same result as Add then Current for each value, without the per-element cost.
    void AppendRange(std::span<const Element> values) {
        elements.insert(elements.end(), values.begin(), values.end());
        cursor = elements.empty() ? nowhere : static_cast<std::ptrdiff_t>(elements.size() - 1);
    }

    // Keeps the first `count` elements (all when there are fewer) and leaves the cursor on the
    // last element kept, as AppendRange does.
    void Truncate(std::size_t count) {
        if (count < elements.size()) {
            elements.resize(count);
        }
        cursor = elements.empty() ? nowhere : static_cast<std::ptrdiff_t>(elements.size() - 1);
    }

    void Reserve(std::size_t count) { elements.reserve(count); }

    void Swap(CursorList& other) noexcept {
        elements.swap(other.elements);
        std::swap(cursor, other.cursor);
    }

    friend bool operator==(const CursorList&, const CursorList&) = default;

  private:
    static constexpr std::ptrdiff_t nowhere = -1;

    void RequireCursor() const {
        if (cursor == nowhere) {
            throw std::logic_error("CursorList::Current with the cursor nowhere");
        }
    }

    std::vector<Element> elements;
    std::ptrdiff_t cursor = nowhere;
};
