#include "naming/naming_template.h"

#include <algorithm>
#include <utility>

#include "metadata/track_credits.h"
#include "naming/text_replace.h"

namespace lumbra {

std::string expandNamingTemplate(std::string_view namingTemplate, const DiscRecord& disc,
                                 const TrackEntry& track) {
    std::string name(namingTemplate);
    // A slash typed in the template separates folders as a backslash does; a slash in a value
    // still becomes part of a name, since the values go in afterwards.
    std::ranges::replace(name, '/', '\\');
    // Blanks around a separator are there for reading; values keep theirs.
    replaceUntilGone(name, " \\", "\\");
    replaceUntilGone(name, "\\ ", "\\");

    // Each value is searched by the placeholders after it, so an album called "<Year>" gets the
    // year; saved templates rely on this order.
    // A track's own artist stays in its name as the list shows it, so that a compilation keeps
    // one folder under its artist and two songs of one name by two artists never meet.
    const std::string title = creditedTitle(track);
    const std::pair<std::string_view, std::string_view> placeholders[] = {
        {"<Album>", disc.album}, {"<Artist>", disc.artist}, {"<Title>", title},
        {"<Year>", disc.year},   {"<album>", disc.album},   {"<artist>", disc.artist},
        {"<title>", title},      {"<year>", disc.year},
    };
    for (const auto& [placeholder, value] : placeholders) replaceAll(name, placeholder, value);
    return name;
}

}  // namespace lumbra
