#pragma once
// A help viewer for tests: it records the requests instead of opening
// anything, and is the application's viewer while it exists.

#include <QString>
#include <cstdint>
#include <vector>

#include "platform/HelpViewer.h"

namespace tonarel {

class HelpViewerStandIn : public HelpViewer {
public:
    struct Request {
        enum class Kind { Keyword, Context };
        Kind kind;
        QString keyword;         ///< for Kind::Keyword
        uint32_t contextNumber;  ///< for Kind::Context
        QString helpFile;        ///< the application's help file at the request

        friend bool operator==(const Request&, const Request&) = default;
    };

    HelpViewerStandIn() { SetApplicationHelpViewer(this); }
    ~HelpViewerStandIn() override { SetApplicationHelpViewer(nullptr); }
    HelpViewerStandIn(const HelpViewerStandIn&) = delete;
    HelpViewerStandIn& operator=(const HelpViewerStandIn&) = delete;

    void OpenByKeyword(const QString& keyword) override
    {
        requests.push_back({Request::Kind::Keyword, keyword, 0, ApplicationHelpFile()});
    }
    void OpenAtContext(uint32_t contextNumber) override
    {
        requests.push_back({Request::Kind::Context, QString(), contextNumber, ApplicationHelpFile()});
    }

    std::vector<Request> requests;
};

}  // namespace tonarel
