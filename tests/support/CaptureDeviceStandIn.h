#pragma once
// A wave-audio device that tests drive: it records nothing, reports the
// position the test sets, saves the samples the test gave it, and can be told
// to fail at any step, or to lose the take while it runs. Test and device share a script, so the test can still
// read what happened after the window that owned the device is gone.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TakeFileWriter.h"
#include "wave/CaptureDevice.h"
#include "wave/TakeFile.h"

namespace tonarel {

struct CaptureDeviceScript {
    // What the test sets up.
    uint32_t position = 0;                     ///< reported while recording
    std::vector<int16_t> take;                 ///< written by Save, in the template's format
    std::optional<std::string> openFailure;    ///< Open throws CaptureError with this text
    std::optional<std::string> recordFailure;  ///< Record throws, and the device closes
    std::optional<std::string> saveFailure;    ///< Save throws, and writes nothing
    /// The take is lost while recording (a full disk): CaptureFailed() turns
    /// true, and Save throws this and writes nothing.
    std::optional<std::string> captureFailure;

    // What the test reads back.
    /// One entry per call, in order: "open <template>", "record", "position",
    /// "save <file>", "close" (a Close of a closed device is not logged).
    std::vector<std::string> calls;
    bool isOpen = false;
    bool isRecording = false;
    std::optional<tonarel::CaptureFormat> openedFormat;
};

class CaptureDeviceStandIn : public tonarel::CaptureDevice {
public:
    explicit CaptureDeviceStandIn(std::shared_ptr<CaptureDeviceScript> script) : script_(std::move(script)) {}
    /// Closes the device, as the real one does.
    ~CaptureDeviceStandIn() override { Close(); }

    void Open(const std::filesystem::path& templateFile) override;
    void Record() override;
    uint32_t PositionMilliseconds() override;
    void Save(const std::filesystem::path& file) override;
    void Close() noexcept override;
    bool CaptureFailed() const noexcept override;

private:
    std::shared_ptr<CaptureDeviceScript> script_;
};

}  // namespace tonarel
