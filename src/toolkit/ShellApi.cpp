#include "toolkit/ShellApi.hpp"

#include <shellapi.h>

namespace {
ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}
}  // namespace

void SetShellOpenerForTests(ShellOpener opener) { Opener() = std::move(opener); }

INT_PTR ShellOpen(const ShellOpenRequest& request) {
    if (Opener()) return Opener()(request);
    return reinterpret_cast<INT_PTR>(::ShellExecuteW(request.owner, request.verb.c_str(), request.file.c_str(),
                                                     request.parameters.c_str(), request.directory.c_str(),
                                                     request.show));
}
