// setup.ini as a map from "SECTION/KEY" to its value, to compare the file before and after.
#pragma once

#include <map>
#include <sstream>
#include <string>

namespace lumbra::test {

inline std::map<std::string, std::string> iniValues(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line, section;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 1 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (const size_t eq = line.find('='); eq != std::string::npos) {
            values[section + "/" + line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return values;
}

// The keys whose value differs (or that appeared or went), with their new values.
inline std::map<std::string, std::string> changedValues(const std::string& before,
                                                        const std::string& after) {
    auto old = iniValues(before);
    std::map<std::string, std::string> changed;
    for (const auto& [key, value] : iniValues(after)) {
        const auto found = old.find(key);
        if (found == old.end() || found->second != value) changed[key] = value;
        if (found != old.end()) old.erase(found);
    }
    for (const auto& [key, value] : old) changed[key] = "<removed>";
    return changed;
}

}  // namespace lumbra::test
