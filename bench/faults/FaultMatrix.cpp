// velor-fault-matrix: writes the embedded release with velor-flash into velor-devsim N times,
// each run under its own seeded random mix of line and device faults, and classifies each run:
//   ok              exit 0 and the device's memory equals the image
//   reported        a non-zero exit with a message
//   false refusal   a non-zero exit whose message claims a device the simulator is not (another
//                   release, another bootloader version): the line's fault taken for the device
//   false success   exit 0 and the memory differs
//   hang            no end within the bound
//   silent          a non-zero exit without any message
// Prints a table by fault kind (a run counts in the row of every kind its mix holds). Exits 1
// when any run was a false refusal, a false success, a hang or silent.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "FaultMix.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace faults;

enum Class { kOk, kReported, kFalseRefusal, kFalseSuccess, kHang, kSilent, kClassCount };
const char* const kClassNames[kClassCount] = {"ok",   "reported", "false refusal", "false success",
                                              "hang", "silent"};

// What velor-flash says when it refuses on what the device told of itself. The simulator holds
// the older release 241003 and bootloader 02, so in this matrix each of them is false.
const char* const kDeviceClaims[] = {
    "Невідомо що то є!",                     // a description that is no release stamp
    "Дана версія вже записана в прилад!",    // the same release
    "В прилад вже записана новіша версія!",  // a newer release
    "is not a valid integer value",          // a description of six characters, not a number
    "невідома версія завантажувача",         // another bootloader version
};

bool ClaimsADevice(const std::string& said) {
    for (const char* claim : kDeviceClaims) {
        if (said.find(claim) != std::string::npos)
            return true;
    }
    return false;
}

struct Settings {
    long runs = 1000;
    std::uint64_t seed = 1;
    int jobs = 2;
    std::string geometry = "2:16:4";
    int boundSeconds = 150;
    std::string work;
    std::string devsim = VELOR_DEVSIM;
    std::string flash = VELOR_FLASH;
    bool markdown = false;
    bool keep = false;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Starts args[0] with standard output and error into the given files (empty: /dev/null).
pid_t Start(const std::vector<std::string>& args, const std::string& out, const std::string& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.empty() ? "/dev/null" : out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.empty() ? "/dev/null" : err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit status, or -1 when the child is still running after the bound.
int WaitBounded(pid_t pid, std::chrono::milliseconds bound) {
    const auto end = Clock::now() + bound;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (r < 0)
            return 255;
        if (Clock::now() >= end)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Reap(pid_t pid) {
    if (WaitBounded(pid, std::chrono::seconds(5)) < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

struct Outcome {
    Class cls = kHang;
    int exit = -1;
    double seconds = 0;
    std::string note;
};

Outcome RunOnce(const Settings& s, const Mix& mix, const std::string& image, long index) {
    Outcome o;
    const std::string dir = s.work + "/run-" + std::to_string(index);
    mkdir(dir.c_str(), 0755);
    std::vector<std::string> devsimArgs = {s.devsim, "--geometry", s.geometry, "--dump",
                                           dir + "/dump.bin"};
    for (auto& a : mix.DevsimArgs())
        devsimArgs.push_back(a);
    const pid_t devsim = Start(devsimArgs, dir + "/devsim.out", dir + "/devsim.err");
    if (devsim < 0) {
        o.note = "velor-devsim did not start";
        o.cls = kSilent;
        return o;
    }
    std::string path;
    for (int i = 0; i < 500 && path.empty(); ++i) {
        const std::string out = ReadFile(dir + "/devsim.out");
        const auto nl = out.find('\n');
        if (nl != std::string::npos)
            path = out.substr(0, nl);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const auto start = Clock::now();
    const pid_t flash =
        Start({s.flash, "write", "--port", path}, dir + "/flash.out", dir + "/flash.err");
    o.exit = WaitBounded(flash, std::chrono::seconds(s.boundSeconds));
    o.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (o.exit < 0) {
        kill(flash, SIGKILL);
        waitpid(flash, nullptr, 0);
    }
    kill(devsim, SIGTERM);
    Reap(devsim);

    const std::string said = ReadFile(dir + "/flash.out") + ReadFile(dir + "/flash.err");
    const std::string dump = ReadFile(dir + "/dump.bin");
    if (o.exit < 0) {
        o.cls = kHang;
    } else if (o.exit == 0) {
        o.cls = dump == image ? kOk : kFalseSuccess;
    } else {
        o.cls = said.find_first_not_of(" \r\n") == std::string::npos ? kSilent
                : ClaimsADevice(said)                                ? kFalseRefusal
                                                                     : kReported;
    }
    if (o.cls != kOk && o.cls != kReported) {
        o.note = "exit " + std::to_string(o.exit) + ": " + said;
    }
    return o;
}

long CommandsOf(const std::string& geometry, long& bytes) {
    long bpp = 0, size = 0, pages = 0;
    std::sscanf(geometry.c_str(), "%ld:%ld:%ld", &bpp, &size, &pages);
    bytes = bpp * size * pages;
    return pages * (1 + 2 * bpp);
}

bool Parse(int argc, char** argv, Settings& s) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--markdown") {
            s.markdown = true;
        } else if (a == "--keep") {
            s.keep = true;
        } else if (!hasValue) {
            return false;
        } else if (a == "--runs") {
            s.runs = std::stol(argv[++i]);
        } else if (a == "--seed") {
            s.seed = std::stoull(argv[++i]);
        } else if (a == "--jobs") {
            s.jobs = std::stoi(argv[++i]);
        } else if (a == "--geometry") {
            s.geometry = argv[++i];
        } else if (a == "--bound-s") {
            s.boundSeconds = std::stoi(argv[++i]);
        } else if (a == "--work") {
            s.work = argv[++i];
        } else if (a == "--devsim") {
            s.devsim = argv[++i];
        } else if (a == "--flash") {
            s.flash = argv[++i];
        } else {
            return false;
        }
    }
    return s.runs > 0 && s.jobs > 0;
}

void PrintTable(const Settings& s, const std::vector<Mix>& mixes,
                const std::vector<Outcome>& outcomes) {
    // One row per kind (a run counts in every kind its mix holds), then "none" and "all".
    long table[kKindCount + 2][kClassCount] = {};
    for (std::size_t r = 0; r < outcomes.size(); ++r) {
        bool any = false;
        for (int k = 0; k < kKindCount; ++k) {
            if (mixes[r].has[k]) {
                ++table[k][outcomes[r].cls];
                any = true;
            }
        }
        if (!any)
            ++table[kKindCount][outcomes[r].cls];
        ++table[kKindCount + 1][outcomes[r].cls];
    }
    const char* sep = s.markdown ? " | " : "  ";
    auto row = [&](const char* name, const long* counts) {
        long total = 0;
        for (int c = 0; c < kClassCount; ++c)
            total += counts[c];
        std::printf("%s%-10s", s.markdown ? "| " : "", name);
        std::printf("%s%6ld", sep, total);
        for (int c = 0; c < kClassCount; ++c)
            std::printf("%s%13ld", sep, counts[c]);
        std::printf("%s\n", s.markdown ? " |" : "");
    };
    std::printf("%s%-10s%s%6s", s.markdown ? "| " : "", "fault", sep, "runs");
    for (int c = 0; c < kClassCount; ++c)
        std::printf("%s%13s", sep, kClassNames[c]);
    std::printf("%s\n", s.markdown ? " |" : "");
    if (s.markdown) {
        std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    }
    for (int k = 0; k < kKindCount; ++k)
        row(kKindNames[k], table[k]);
    row("none", table[kKindCount]);
    row("all", table[kKindCount + 1]);
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    if (!Parse(argc, argv, s)) {
        std::fprintf(stderr,
                     "Usage: velor-fault-matrix [--runs N] [--seed S] [--jobs J] "
                     "[--geometry BPP:SIZE:PAGES] [--bound-s SEC] [--work DIR] [--markdown] "
                     "[--keep] [--devsim PATH] [--flash PATH]\n");
        return 2;
    }
    if (s.work.empty()) {
        char templ[] = "/tmp/velor-fault-matrix-XXXXXX";
        if (!mkdtemp(templ)) {
            std::perror("mkdtemp");
            return 2;
        }
        s.work = templ;
    } else {
        mkdir(s.work.c_str(), 0755);
    }
    long bytes = 0;
    const long commands = CommandsOf(s.geometry, bytes);
    const std::string imagePath = s.work + "/image.bin";
    const pid_t check =
        Start({s.flash, "check", "--image-out", imagePath, "--size", std::to_string(bytes)}, "",
              s.work + "/check.err");
    if (check < 0 || WaitBounded(check, std::chrono::seconds(60)) != 0) {
        std::fprintf(stderr, "velor-fault-matrix: velor-flash check failed\n");
        return 2;
    }
    const std::string image = ReadFile(imagePath);

    std::vector<Mix> mixes;
    for (long r = 0; r < s.runs; ++r)
        mixes.push_back(DrawMix(s.seed + static_cast<std::uint64_t>(r), commands));
    std::vector<Outcome> outcomes(static_cast<std::size_t>(s.runs));
    std::atomic<long> next{0};
    std::mutex printing;
    const auto begin = Clock::now();
    auto worker = [&] {
        for (long r; (r = next++) < s.runs;) {
            outcomes[r] = RunOnce(s, mixes[r], image, r);
            std::lock_guard<std::mutex> lock(printing);
            if (outcomes[r].cls != kOk && outcomes[r].cls != kReported) {
                std::fprintf(stderr, "run %ld (%s): %s after %.1f s; %s\n", r,
                             mixes[r].Describe().c_str(), kClassNames[outcomes[r].cls],
                             outcomes[r].seconds, outcomes[r].note.c_str());
            }
        }
    };
    std::vector<std::thread> threads;
    for (int j = 0; j < s.jobs; ++j)
        threads.emplace_back(worker);
    for (auto& t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();

    std::printf("%ld runs, geometry %s, seeds %llu..%llu, %.0f s\n", s.runs, s.geometry.c_str(),
                static_cast<unsigned long long>(s.seed),
                static_cast<unsigned long long>(s.seed + s.runs - 1), seconds);
    PrintTable(s, mixes, outcomes);
    if (!s.keep) {
        const std::string cleanup = "rm -rf '" + s.work + "'";
        if (std::system(cleanup.c_str()) != 0)
            std::fprintf(stderr, "velor-fault-matrix: could not remove %s\n", s.work.c_str());
    }
    long bad = 0;
    for (const auto& o : outcomes)
        bad += o.cls != kOk && o.cls != kReported;
    return bad == 0 ? 0 : 1;
}
