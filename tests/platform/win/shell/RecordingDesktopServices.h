#pragma once
// Desktop services for tests: record each request, open nothing, and answer
// what the test says. Installed while the object lives.

#include <vector>

#include "platform/win/shell/DesktopServices.h"

class TRecordingDesktopServices : public IDesktopServices {
public:
    struct TRequest {
        String Kind; // "OpenFolder", "OpenDocument", "RevealFile"
        String Target;
        bool operator==(const TRequest&) const = default;
    };

    TRecordingDesktopServices() : scope_(*this) {}

    bool OpenFolder(const String& path) override { return Record("OpenFolder", path); }
    bool OpenDocument(const String& target) override { return Record("OpenDocument", target); }
    bool RevealFile(const String& path) override { return Record("RevealFile", path); }

    std::vector<TRequest> Requests;
    bool Answer = true;

private:
    bool Record(const String& kind, const String& target) {
        Requests.push_back({kind, target});
        return Answer;
    }

    TDesktopServicesScope scope_;
};
