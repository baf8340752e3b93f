// The bytes of one CDDB command: a form-encoded "cmd=" body in an HTTP/1.0 POST, sent to the
// server or, through a proxy, with the server's URL.
#pragma once

#include <string>
#include <string_view>

#include "metadata/cddb_config.h"
#include "metadata/cddb_match.h"
#include "metadata/disc_id.h"

namespace lumbra {

// The whole request for `body` to the CGI at `path`: request line, Host, content type, user
// agent, the proxy's credentials when there are any, content length, then the body and CR LF.
std::string buildCddbRequest(const CddbConfig& config, std::string_view path,
                             std::string_view body);

// "cmd=cddb+query+<id>+<n>+<offsets>+<seconds>&hello=...&proto=..." of a disc ID result.
std::string cddbQueryBody(const CddbConfig& config, const DiscIdResult& disc);

// "cmd=cddb+read+<category>+<id>&hello=...&proto=..." for one match.
std::string cddbReadBody(const CddbConfig& config, const CddbMatch& match);

}  // namespace lumbra
