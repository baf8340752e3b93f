// Who runs the program, for the default e-mail address of CDDB greetings.
#pragma once

#include <string>

namespace lumbra::platform {

// The login name, "@", and the host name ("user@host").
std::string defaultEmailAddress();

}  // namespace lumbra::platform
