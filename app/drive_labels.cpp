#include "app/drive_labels.h"

#include <algorithm>
#include <string_view>

namespace lumbra {
namespace {

// The description without the bus address it ends with, "(adapter:target:lun)": the address
// tells two drives of one model apart for the program, not for the user.
std::string_view modelOf(std::string_view description) {
    const size_t address = description.rfind(" (");
    return address == std::string_view::npos ? description : description.substr(0, address);
}

}  // namespace

std::vector<std::string> driveLabels(std::span<const DriveEntry> drives) {
    std::vector<std::string> labels;
    for (const DriveEntry& drive : drives) {
        const auto sameModel = [&](const DriveEntry& other) {
            return modelOf(other.description) == modelOf(drive.description);
        };
        const bool shared = std::ranges::count_if(drives, sameModel) > 1;
        labels.push_back(shared && !drive.letter.empty() ? drive.description + " " + drive.letter
                                                         : drive.description);
    }
    return labels;
}

}  // namespace lumbra
