#include "cli/records/YieldFigures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velor::cli {

namespace {

// Days since 1970-01-01 of a civil date (Howard Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

// The nearest-rank percentile of sorted values.
double Percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) {
        return 0;
    }
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * sorted.size()));
    return sorted[std::min(sorted.size(), std::max<std::size_t>(rank, 1)) - 1];
}

}  // namespace

long long UtcSeconds(const std::string& time) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char zone = 0;
    // The form velor-flash writes, read without sscanf (a report reads it for every record).
    const auto digits = [&time](std::size_t at, std::size_t n, int& value) {
        value = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            if (time[i] < '0' || time[i] > '9') {
                return false;
            }
            value = value * 10 + (time[i] - '0');
        }
        return true;
    };
    const bool written = time.size() == 20 && time[4] == '-' && time[7] == '-' && time[10] == 'T' &&
                         time[13] == ':' && time[16] == ':' && digits(0, 4, y) &&
                         digits(5, 2, mo) && digits(8, 2, d) && digits(11, 2, h) &&
                         digits(14, 2, mi) && digits(17, 2, s);
    if (written) {
        zone = time[19];
    } else if (std::sscanf(time.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s,
                           &zone) != 7) {
        return -1;
    }
    if (zone != 'Z' || mo < 1 || mo > 12 || d < 1 || d > 31) {
        return -1;
    }
    return DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 +
           h * 3600 + mi * 60 + s;
}

void FigureTally::Add(const DeviceRecord& r) {
    ++m_f.records;
    const bool done = r.outcome == "done";
    m_f.done += done;
    if (!done) {
        ++m_f.failuresByMessage[r.message];
    }
    const long long time = UtcSeconds(r.time);
    auto [last, first] = m_lastOfSlot.try_emplace(std::make_pair(r.station, r.slot), Last{});
    const bool retry = !first && !last->second.done && time >= 0 &&
                       time - last->second.time <= kRetryWindowSeconds;
    if (retry) {
        ++m_f.retries;
    } else {
        ++m_f.devices;
        m_f.firstPass += done;
    }
    last->second = {time, done};
    m_seconds.push_back(r.seconds);
    m_total += r.seconds;
}

YieldFigures FigureTally::Figures() const {
    YieldFigures f = m_f;
    std::vector<double> seconds = m_seconds;
    std::sort(seconds.begin(), seconds.end());
    if (!seconds.empty()) {
        f.meanSeconds = m_total / static_cast<double>(seconds.size());
        f.p50Seconds = Percentile(seconds, 50);
        f.p90Seconds = Percentile(seconds, 90);
        f.p95Seconds = Percentile(seconds, 95);
        f.maxSeconds = seconds.back();
    }
    return f;
}

YieldFigures FiguresOf(const std::vector<DeviceRecord>& records) {
    FigureTally tally;
    for (const auto& r : records) {
        tally.Add(r);
    }
    return tally.Figures();
}

}  // namespace velor::cli
