#include "cli/records/ConnectionUrl.h"

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

std::string PasswordInUrlWarning() {
    return "the PostgreSQL URL holds a password, which other users of this computer can read in "
           "the process list: give it in a password file (~/.pgpass or PGPASSFILE), a service "
           "file (PGSERVICEFILE, service=NAME) or PGPASSWORD instead";
}

}  // namespace velor::cli
