#pragma once
// The help viewer of a Linux desktop: the help file, an HTML page, is handed
// to the desktop's default handler for it (the web browser).

#include <QString>

#include "platform/HelpViewer.h"

namespace tonarel {

class HelpViewerDesktop : public HelpViewer {
public:
    /// `opener` is the program that opens the page, run as `opener URL`
    /// (the application passes xdg-open where it is installed); its failure to
    /// start or an exit status other than 0 is reported once it ends. Without
    /// an opener the page goes to Qt's desktop services, which can only say
    /// whether they handed it on.
    explicit HelpViewerDesktop(QString opener = QString());

    /// A keyword request opens the file at its top (the page has no keyword
    /// index); a context request opens it at the context's section
    /// (UserGuideSection). When the file does not exist, or the page could
    /// not be opened, a warning box naming the file says so (through
    /// ShowUserMessage).
    void OpenByKeyword(const QString& keyword) override;
    void OpenAtContext(uint32_t contextNumber) override;

private:
    void OpenHelpFile(const QString& section);

    QString opener_;
};

}  // namespace tonarel
