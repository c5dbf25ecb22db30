#pragma once
// The temperament table: the measured and the standard frequency of 120 slots,
// and how far each direction is filled. The manager window holds one and
// applies what AddReading tells it to its two lists.
//
// Slots 0..59 are the treble direction (list line k is slot k, semitone number
// k); slots 60..119 the bass direction (line k is slot 60 + k, semitone number
// -k). Slot 60 is the bass direction's own measurement of the reference note.
// Entries fill each direction from its first slot without gaps.

#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "common/NumberFormat.h"

namespace tonarel {

inline constexpr uint32_t kTemperamentSlots = 120;
/// Entries per direction.
inline constexpr int32_t kDirectionCapacity = 60;
/// The slot of the first bass entry; BassCursor starts here.
inline constexpr int32_t kFirstBassSlot = 60;

using SlotTable = std::array<float, kTemperamentSlots>;

enum class TemperamentDirection { Treble, Bass };

enum class ReadingMode {
    Input,   ///< "音律输入": the reading becomes the next entry of the direction
    Adjust,  ///< "音律调整": the reading replaces the selected entry of the direction
};

/// The manager window's options as they stand when a reading arrives.
struct ReadingOptions {
    ReadingMode mode = ReadingMode::Input;
    TemperamentDirection direction = TemperamentDirection::Treble;
    /// "指定标准音": the standard scale is built on 440 Hz rather than on the
    /// first reading into an empty table.
    bool fixedBase = true;
    /// Selected line of each list, -1 when none.
    int32_t selectedTrebleLine = -1;
    int32_t selectedBassLine = -1;
    /// The user's decimal separator (UTF-8, one or more bytes), used inside
    /// numbers of the line text.
    DecimalSeparator decimalSeparator;
};

/// What the list of `list` must do with an accepted reading: append `text` as
/// a new last line (`line` is then the new line's position), or replace line
/// `line` with `text`, keeping the selection on it.
struct ListLineChange {
    TemperamentDirection list = TemperamentDirection::Treble;
    bool replacesLine = false;
    int32_t line = 0;
    std::string text;  ///< UTF-8, e.g. "7.音高偏低！-0.42音分"
};

/// A reading that was not taken. Nothing changed; `reason` (UTF-8 Chinese, one
/// sentence) tells the musician why.
struct ReadingRefused {
    std::string reason;
};

using ReadingOutcome = std::variant<ListLineChange, ReadingRefused>;

class TemperamentTable {
public:
    /// Both tables zero, TrebleCount 0, BassCursor 60: empty.
    TemperamentTable();

    /// Measured frequency of every slot, Hz. Slots outside the entries in use
    /// keep whatever they last held (zero at start, or a loaded file's values).
    const SlotTable& MeasuredTable() const { return measured_; }
    /// Equal-tempered standard frequency of every slot, Hz.
    const SlotTable& StandardTable() const { return standard_; }
    /// Number of treble entries, 0..60; also the next treble slot.
    int32_t TrebleCount() const { return trebleCount_; }
    /// The next bass slot, 60..120: 60 + number of bass entries.
    int32_t BassCursor() const { return bassCursor_; }
    /// Number of entries (list lines) of `direction`, 0..60.
    int32_t EntryCount(TemperamentDirection direction) const;
    bool IsEmpty() const { return trebleCount_ == 0 && bassCursor_ == kFirstBassSlot; }

    /// Rebuilds the standard scale on `baseHz`: slots 0..59 rise from it by the
    /// semitone step, slots 60..119 fall from it.
    void BuildStandardTable(float baseHz);

    /// Takes one reading of `hz` with the window's options of this moment:
    /// - into an empty table, first rebuilds the standard scale on 440 Hz, or
    ///   on `hz` when the base is not fixed;
    /// - in input mode stores it as the next entry of the direction and asks
    ///   for a line to be appended; in adjust mode stores it in the selected
    ///   entry of the direction and asks for that line to be replaced;
    /// - judges it against the standard frequency of its slot.
    /// Refused, changing nothing at all, when adjust mode has no selected line
    /// in the direction's list, when input mode finds the direction full (60
    /// entries), or when `hz` would become the base but cannot carry a scale
    /// (see IsUsableBase).
    /// A zero, negative, infinite or not-a-number `hz` that does not become
    /// the base is taken like any other reading: stored, and judged against
    /// its standard slot. A negative one reads too low with its (below -100)
    /// deviation; one whose deviation is not-a-number matches neither band
    /// limit and so also reads too low ("音高偏低！"), its deviation shown as
    /// "NAN" (infinity as "INF"); the pitch meter never hands such values on,
    /// but a loaded file may hold them.
    ReadingOutcome AddReading(float hz, const ReadingOptions& options);

    /// Empties both directions (counters back to 0 and 60). The tables keep
    /// their values: a slot is meaningful only while an entry covers it.
    void Clear();

    /// Empties both directions and takes all 120 measured slots from a loaded
    /// file, so that slots outside the replayed entries are saved again as
    /// they were read. The caller then replays the entries through AddReading.
    void BeginReplay(const SlotTable& measured);

private:
    SlotTable measured_{};
    SlotTable standard_{};
    int32_t trebleCount_ = 0;
    int32_t bassCursor_ = kFirstBassSlot;
};

/// Whether `baseHz` can carry a standard scale: positive and finite, and every
/// slot of the scale built on it a positive normal float, so that judging
/// against any slot never divides by zero or infinity.
bool IsUsableBase(float baseHz);

}  // namespace tonarel
