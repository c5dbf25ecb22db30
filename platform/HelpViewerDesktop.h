#pragma once
// The help viewer of a Linux desktop: there is no viewer for the help file's
// own format, so the file is handed to the desktop's default handler for it.

#include "platform/HelpViewer.h"

namespace tonarel {

class HelpViewerDesktop : public HelpViewer {
public:
    /// Both requests open the whole file: the desktop handler knows neither
    /// keywords nor context numbers. When the file does not exist in the
    /// working directory, or no handler accepts it, a warning box naming the
    /// file says so (through ShowUserMessage).
    void OpenByKeyword(const QString& keyword) override;
    void OpenAtContext(uint32_t contextNumber) override;

private:
    void OpenHelpFile();
};

}  // namespace tonarel
