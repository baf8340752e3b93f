#include "platform/user_identity.h"

#include <pwd.h>
#include <unistd.h>
#include <climits>
#include <cstdlib>

namespace lumbra::platform {
namespace {

std::string loginName() {
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name) return entry->pw_name;
    const char* user = std::getenv("USER");
    return user && *user ? user : "user";
}

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0 || !*name) return "localhost";
    return name;
}

}  // namespace

std::string defaultEmailAddress() {
    return loginName() + "@" + hostName();
}

}  // namespace lumbra::platform
