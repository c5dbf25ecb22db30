#pragma once
// The user's regional settings, as the number formats need them.

namespace tonarel {

/// The decimal separator of the user's regional settings when it is one plain
/// (ASCII) character; a dot otherwise.
char UserDecimalSeparator();

}  // namespace tonarel
