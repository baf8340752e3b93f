#include "platform/ipc_name.h"

#include <unistd.h>
#include <cstdlib>

namespace lumbra::platform {
namespace {

std::string sanitized(std::string_view text) {
    std::string out;
    for (char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        out += plain ? c : '_';
    }
    return out;
}

std::string ipcNamespace() {
    const char* configured = std::getenv("LUMBRA_IPC_NAMESPACE");
    if (configured && *configured) return sanitized(configured);
    return "u" + std::to_string(getuid());
}

}  // namespace

std::string ipcObjectName(std::string_view name) {
    return "/lumbra." + sanitized(name) + "." + ipcNamespace();
}

}  // namespace lumbra::platform
