#pragma once
// The one choice Tonarel remembers across runs: whether "精确测量" is ticked.
// It lives in the user's configuration, $XDG_CONFIG_HOME/Tonarel/Tonarel.conf
// (normally ~/.config/Tonarel/Tonarel.conf), an INI file written only when
// the choice changes.

#include <QString>

namespace tonarel {

/// The settings file's full name, from XDG_CONFIG_HOME as it is now.
QString UserSettingsFile();

/// The remembered state of "精确测量": true only when the file holds
/// "[PitchMeter]" / "precise=true"; no file, no such value, another value or
/// a file that cannot be read as settings all mean unticked.
bool RememberedPreciseMeasurement();

/// Remembers the state of "精确测量", creating the folder and the file as
/// needed. A file that cannot be written is left as it is, silently: the
/// choice then lasts for this run only.
void RememberPreciseMeasurement(bool ticked);

}  // namespace tonarel
