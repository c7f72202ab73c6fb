#pragma once
// Helpers shared by the XML tests.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "platform/rtl/Streams.h"
#include "support/xml/XmlDom.h"

inline TBytes ToBytes(const std::string& s) { return TBytes(s.begin(), s.end()); }
inline std::string FromBytes(const TBytes& b) { return std::string(b.begin(), b.end()); }

inline std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

// The document's output bytes in the given format.
inline std::string Saved(IXMLDocument& doc, uint8_t format) {
    TBytesStream out;
    doc.SaveStream(out, format);
    return FromBytes(out.Bytes());
}

inline TIntfPtr<IXMLDocument> Parsed(const std::string& bytes, bool keepWhitespace = true) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    doc->SetKeepWhitespace(keepWhitespace);
    TBytesStream in(ToBytes(bytes));
    doc->LoadStream(in);
    return doc;
}

// Runs Action in a child process whose file size limit is Bytes and tells
// whether it raised E. Root is held to the limit too: a write past it fails
// with EFBIG.
template <class E, class Action>
bool RaisesWithFileSizeLimit(rlim_t bytes, Action action) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = bytes;
        int code = 3;
        if (::setrlimit(RLIMIT_FSIZE, &limit) == 0) {
            try {
                action();
                code = 1;
            } catch (const E&) {
                code = 0;
            } catch (...) {
                code = 2;
            }
        }
        ::_exit(code);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    return pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
