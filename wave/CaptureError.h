#pragma once
// The one kind of failure the sound capture reports.

#include <stdexcept>
#include <string>

namespace tonarel {

/// A failure of the sound capture: the template could not be read, there is
/// no input device, the device refused the format, the capture could not
/// start, or the take could not be saved. what() is a complete sentence
/// in Chinese (UTF-8) naming what failed; it is shown to the user as it
/// stands in the application's error box.
class CaptureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tonarel
