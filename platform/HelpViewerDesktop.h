#pragma once
// The help viewer of a Linux desktop: the help file, an HTML page, is handed
// to the desktop's default handler for it (the web browser).

#include "platform/HelpViewer.h"

namespace tonarel {

class HelpViewerDesktop : public HelpViewer {
public:
    /// A keyword request opens the file at its top (the page has no keyword
    /// index); a context request opens it at the context's section
    /// (UserGuideSection). When the file does not exist, or no handler
    /// accepts it, a warning box naming the file says so (through
    /// ShowUserMessage).
    void OpenByKeyword(const QString& keyword) override;
    void OpenAtContext(uint32_t contextNumber) override;

private:
    void OpenHelpFile(const QString& section);
};

}  // namespace tonarel
