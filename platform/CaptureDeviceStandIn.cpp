#include "platform/CaptureDeviceStandIn.h"

#include <span>

#include "platform/CaptureError.h"

void CaptureDeviceStandIn::Open(const std::filesystem::path& templateFile)
{
    Close();
    calls.push_back("open " + templateFile.string());
    if (openFailure) {
        throw tonarel::CaptureError(*openFailure);
    }
    openedFormat = tonarel::ReadCaptureTemplate(templateFile);
    isOpen = true;
}

void CaptureDeviceStandIn::Record()
{
    calls.emplace_back("record");
    if (!isOpen || recordFailure) {
        Close();
        throw tonarel::CaptureError(recordFailure.value_or("录音设备没有打开，无法开始录音。"));
    }
    isRecording = true;
}

uint32_t CaptureDeviceStandIn::PositionMilliseconds()
{
    calls.emplace_back("position");
    return isRecording ? position : 0;
}

void CaptureDeviceStandIn::Save(const std::filesystem::path& file)
{
    calls.push_back("save " + file.string());
    if (!isRecording || saveFailure) {
        throw tonarel::CaptureError(saveFailure.value_or("没有正在进行的录音。"));
    }
    tonarel::WriteCaptureFile(file, *openedFormat, std::as_bytes(std::span(take)));
}

void CaptureDeviceStandIn::Close() noexcept
{
    if (isOpen) {
        calls.emplace_back("close");
    }
    isOpen = false;
    isRecording = false;
}
