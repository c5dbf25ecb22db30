#pragma once
// The user's regional settings, as the number formats need them.

#include "common/NumberFormat.h"

namespace tonarel {

/// The decimal separator of the user's regional settings, as UTF-8 text of
/// one or more bytes ("," for de_DE, "٫" for ps_AF); a dot when the settings
/// name none.
DecimalSeparator UserDecimalSeparator();

}  // namespace tonarel
