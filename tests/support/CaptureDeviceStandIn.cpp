#include "tests/support/CaptureDeviceStandIn.h"

#include <span>

#include "wave/CaptureError.h"

namespace tonarel {

void CaptureDeviceStandIn::Open(const std::filesystem::path& templateFile)
{
    Close();
    script_->calls.push_back("open " + templateFile.string());
    if (script_->openFailure) {
        throw tonarel::CaptureError(*script_->openFailure);
    }
    script_->openedFormat = tonarel::ReadCaptureTemplate(templateFile);
    script_->isOpen = true;
}

void CaptureDeviceStandIn::Record()
{
    script_->calls.emplace_back("record");
    if (!script_->isOpen || script_->recordFailure) {
        Close();
        throw tonarel::CaptureError(script_->recordFailure.value_or("录音设备没有打开，无法开始录音。"));
    }
    script_->isRecording = true;
}

uint32_t CaptureDeviceStandIn::PositionMilliseconds()
{
    script_->calls.emplace_back("position");
    return script_->isRecording ? script_->position : 0;
}

void CaptureDeviceStandIn::Save(const std::filesystem::path& file)
{
    script_->calls.push_back("save " + file.string());
    if (!script_->isRecording || script_->saveFailure || script_->captureFailure) {
        throw tonarel::CaptureError(
            script_->saveFailure.value_or(script_->captureFailure.value_or("没有正在进行的录音。")));
    }
    tonarel::test::WriteTakeFile(file, *script_->openedFormat, std::as_bytes(std::span(script_->take)));
}

void CaptureDeviceStandIn::Close() noexcept
{
    if (script_->isOpen) {
        script_->calls.emplace_back("close");
    }
    script_->isOpen = false;
    script_->isRecording = false;
}

bool CaptureDeviceStandIn::CaptureFailed() const noexcept
{
    return script_->isRecording && script_->captureFailure.has_value();
}

}  // namespace tonarel
