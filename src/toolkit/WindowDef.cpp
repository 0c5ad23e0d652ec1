#include "toolkit/WindowDef.h"

#include <set>

namespace kestrel::toolkit {

const ControlDef* WindowDef::Find(const std::string& control) const {
    for (const ControlDef& def : controls) {
        if (def.name == control) return &def;
    }
    return nullptr;
}

std::vector<std::string> WindowDef::Problems() const {
    std::vector<std::string> problems;
    std::set<std::string> seen;
    for (const ControlDef& def : controls) {
        if (def.name.empty()) problems.push_back("a control without a name");
        if (def.name == name) problems.push_back("control named like the window: " + def.name);
        if (!def.parent.empty() && !seen.count(def.parent)) {
            problems.push_back(def.name + ": parent " + def.parent + " is not listed before it");
        }
        if (!seen.insert(def.name).second) problems.push_back("duplicate name: " + def.name);
        if (def.width < 0 || def.height < 0) problems.push_back(def.name + ": negative size");
    }
    if (!cover.empty() && !seen.count(cover)) problems.push_back("cover " + cover + " is not in the table");
    return problems;
}

}  // namespace kestrel::toolkit
