#include "cli/records/ConnectionUrl.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#ifdef _WIN32
#include <windows.h>
#endif

namespace velor::cli {

namespace {

// [begin, end) of the userinfo's password, or npos.
std::pair<std::size_t, std::size_t> UserinfoPassword(const std::string& url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos) {
        return {std::string::npos, 0};
    }
    const std::size_t start = scheme + 3;
    const std::size_t authorityEnd = url.find_first_of("/?", start);
    const std::size_t at =
        url.rfind('@', authorityEnd == std::string::npos ? url.size() : authorityEnd);
    if (at == std::string::npos || at < start) {
        return {std::string::npos, 0};
    }
    const std::size_t colon = url.find(':', start);
    if (colon == std::string::npos || colon > at) {
        return {std::string::npos, 0};
    }
    return {colon + 1, at};
}

// [begin, end) of the value of a password= query parameter, or npos.
std::pair<std::size_t, std::size_t> QueryPassword(const std::string& url) {
    const std::size_t query = url.find('?');
    if (query == std::string::npos) {
        return {std::string::npos, 0};
    }
    for (std::size_t at = query; at != std::string::npos && at < url.size();
         at = url.find('&', at + 1)) {
        if (url.compare(at + 1, 9, "password=") == 0) {
            const std::size_t begin = at + 10;
            const std::size_t end = url.find('&', begin);
            return {begin, end == std::string::npos ? url.size() : end};
        }
    }
    return {std::string::npos, 0};
}

}  // namespace

bool UrlHasPassword(const std::string& url) {
    return UserinfoPassword(url).first != std::string::npos ||
           QueryPassword(url).first != std::string::npos;
}

std::string RedactedUrl(const std::string& url) {
    std::string text = url;
    // The query's first: it lies after the userinfo, so its place stays right.
    if (const auto [begin, end] = QueryPassword(text); begin != std::string::npos) {
        text.replace(begin, end - begin, "***");
    }
    if (const auto [begin, end] = UserinfoPassword(text); begin != std::string::npos) {
        text.replace(begin, end - begin, "***");
    }
    return text;
}

#ifdef _WIN32
namespace {

std::wstring Wide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
    }
    return wide;
}

// The command line GetCommandLineW gives is the process's own copy that a process list reads:
// the password is found there as the end of its URL's text (not anywhere it might also occur).
void MaskInCommandLine(const std::string& throughPassword, std::size_t passwordBytes) {
    const std::wstring through = Wide(throughPassword);
    const std::size_t password =
        Wide(throughPassword.substr(throughPassword.size() - passwordBytes)).size();
    wchar_t* line = GetCommandLineW();
    if (line == nullptr || through.empty()) {
        return;
    }
    for (wchar_t* at = std::wcsstr(line, through.c_str()); at != nullptr;
         at = std::wcsstr(at + through.size(), through.c_str())) {
        std::wmemset(at + through.size() - password, L'*', password);
    }
}

}  // namespace
#endif

void MaskUrlPasswordsInArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.find("postgres") == std::string::npos) {
            continue;
        }
        for (const auto& [begin, end] : {QueryPassword(arg), UserinfoPassword(arg)}) {
            if (begin == std::string::npos || end <= begin) {
                continue;
            }
#ifdef _WIN32
            MaskInCommandLine(arg.substr(0, end), end - begin);
#endif
            std::memset(argv[i] + begin, '*', end - begin);
        }
    }
}

std::string PasswordInUrlWarning() {
    return "the PostgreSQL URL holds a password, which other users of this computer can read in "
           "the process list: give it in a password file (~/.pgpass or PGPASSFILE), a service "
           "file (PGSERVICEFILE, service=NAME) or PGPASSWORD instead";
}

}  // namespace velor::cli
