#pragma once

// The twelve poster slots of the board tab: a picture and four labels each. The board reader writes
// slots 1 … 5 and 7 … 11 from its own thread; the window's implementation moves each write onto the GUI
// thread in the order it was made.

#include <mutex>
#include <vector>

#include "util/types.h"

namespace fw {

enum class PosterLabel {
    Name,         // "电影名称N"
    ReleaseLine,  // "上映时间N"
    Score,        // "网络评分N"
    Cast,         // "电影主演N"
};

class PosterSlots {
  public:
    virtual ~PosterSlots() = default;
    // `picture` holds the encoded bytes of a JPEG or PNG image; empty bytes show no picture.
    virtual void SetPicture(int slot, const Bytes& picture) = 0;
    virtual void SetLabel(int slot, PosterLabel label, const Text& text) = 0;
};

// The command line's and the tests' stand-in: every write in the order it came.
class MemoryPosterSlots final : public PosterSlots {
  public:
    struct Write {
        int slot;
        bool isPicture;
        PosterLabel label;  // when not a picture
        Bytes content;
    };
    struct Slot {
        int slot = 0;
        Bytes picture;
        Text name;
        Text releaseLine;
        Text score;
        Text cast;
    };

    void SetPicture(int slot, const Bytes& picture) override;
    void SetLabel(int slot, PosterLabel label, const Text& text) override;

    std::vector<Write> Writes() const;
    // The slots written, in the order their pictures were first written.
    std::vector<Slot> Slots() const;

  private:
    mutable std::mutex mutex_;
    std::vector<Write> writes_;
};

}  // namespace fw
