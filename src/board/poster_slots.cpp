#include "board/poster_slots.h"

#include <algorithm>

namespace fw {

void MemoryPosterSlots::SetPicture(int slot, const Bytes& picture) {
    std::lock_guard guard(mutex_);
    writes_.push_back({slot, true, PosterLabel::Name, picture});
}

void MemoryPosterSlots::SetLabel(int slot, PosterLabel label, const Text& text) {
    std::lock_guard guard(mutex_);
    writes_.push_back({slot, false, label, text});
}

std::vector<MemoryPosterSlots::Write> MemoryPosterSlots::Writes() const {
    std::lock_guard guard(mutex_);
    return writes_;
}

std::vector<MemoryPosterSlots::Slot> MemoryPosterSlots::Slots() const {
    std::vector<Slot> slots;
    for (const Write& write : Writes()) {
        auto found =
            std::find_if(slots.begin(), slots.end(), [&](const Slot& s) { return s.slot == write.slot; });
        if (found == slots.end()) {
            slots.push_back(Slot{write.slot, {}, {}, {}, {}, {}});
            found = std::prev(slots.end());
        }
        if (write.isPicture) {
            found->picture = write.content;
            continue;
        }
        switch (write.label) {
            case PosterLabel::Name:
                found->name = write.content;
                break;
            case PosterLabel::ReleaseLine:
                found->releaseLine = write.content;
                break;
            case PosterLabel::Score:
                found->score = write.content;
                break;
            case PosterLabel::Cast:
                found->cast = write.content;
                break;
        }
    }
    return slots;
}

}  // namespace fw
