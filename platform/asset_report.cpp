#include "platform/asset_report.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "runtime/console.h"

namespace {

std::string ShownName(const String& path) {
    const String scheme = T("vantor://");
    const String name = path.StartsWith(scheme) ? path.Slice(scheme.Length()) : path;
    std::vector<unsigned char> bytes;
    name.Save(bytes);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

void ReportAssetFailure(const String& path, const std::string& reason) {
    static std::set<std::string> reported;
    const std::string name = ShownName(path);
    if (!reported.insert(name).second) return;
    ConsoleLinef("Cannot load %s: %s", name.c_str(), reason.c_str());
}

std::string OpenFailureReason(int error) {
    // An unknown "vantor://" scheme fails before the C library is asked, leaving errno alone.
    return error != 0 ? std::strerror(error) : "no such data folder";
}
