#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace varnak {

// The position of the first entry of each page number, so that an Apply finds the entry to
// update without a scan per number: open addressing in one array, built afresh per Apply.
class FirstEntryIndex {
public:
    template <class Entry>
    FirstEntryIndex(const std::vector<Entry>& entries, std::uint32_t Entry::*page) {
        std::size_t capacity = 16;
        while (capacity < entries.size() * 2) {
            capacity *= 2;
        }
        slots_.assign(capacity, Slot{});
        mask_ = capacity - 1;
        for (std::size_t index = 0; index < entries.size(); ++index) {
            Slot& slot = slots_[SlotOf(entries[index].*page)];
            if (slot.Position == Empty) {
                slot = {entries[index].*page, index};
            }
        }
    }
    std::optional<std::size_t> Find(std::uint32_t page) const {
        const Slot& slot = slots_[SlotOf(page)];
        return slot.Position != Empty ? std::optional(slot.Position) : std::nullopt;
    }

private:
    static constexpr std::size_t Empty = static_cast<std::size_t>(-1);
    struct Slot {
        std::uint32_t Page = 0;
        std::size_t Position = Empty;
    };
    // The slot that holds page, or the empty slot where it would go.
    std::size_t SlotOf(std::uint32_t page) const {
        std::size_t at = static_cast<std::size_t>((page * 0x9E3779B97F4A7C15ull) >> 32) & mask_;
        while (slots_[at].Position != Empty && slots_[at].Page != page) {
            at = (at + 1) & mask_;
        }
        return at;
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

// Runs the two passes of an Apply over the numbers of a page-number text, in order. Update
// pass: the first existing entry of each number is handed to update(index). Creation pass:
// every number that is not 0 and matched no existing entry goes to create(page), once per
// occurrence. Either function returns false to stop the Apply; then so does this.
template <class Entry, class Update, class Create>
bool RunApplyPasses(const std::vector<std::int32_t>& numbers, const std::vector<Entry>& entries,
                    std::uint32_t Entry::*page, Update update, Create create) {
    const FirstEntryIndex index(entries, page);
    std::vector<bool> done(numbers.size(), false);
    for (std::size_t at = 0; at < numbers.size(); ++at) {
        // Negative numbers are taken as the unsigned page numbers they wrap to.
        if (const auto found = index.Find(static_cast<std::uint32_t>(numbers[at]))) {
            if (!update(*found)) {
                return false;
            }
            done[at] = true;
        }
    }
    for (std::size_t at = 0; at < numbers.size(); ++at) {
        if (numbers[at] != 0 && !done[at] && !create(static_cast<std::uint32_t>(numbers[at]))) {
            return false;
        }
    }
    return true;
}

} // namespace varnak
