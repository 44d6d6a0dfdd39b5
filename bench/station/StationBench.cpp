// velor_station_bench: the station as a production cell.
//  1. Units per hour: a station with 8 slots of devices paced like a 115200 baud line against a
//     station with one (each slot one device; the same start-up in both). Goal: >= 7.5x.
//  2. Recording one device: SQLite (WAL, synchronous) goal < 20 ms; PostgreSQL on this machine
//     (a server of the bench's own, Unix socket) goal < 50 ms.
//  3. velor-flash report over 100,000 records: goal < 1 s (SQLite; PostgreSQL shown beside).
//
//   velor_station_bench [--slots N] [--geometry BPP:SIZE:PAGES] [--records N]
//                       [--only station|records]

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DevsimProcess.h"
#include "PgServer.h"
#include "Spawn.h"
#include "TempFolder.h"
#include "cli/records/RecordRows.h"
#include "cli/records/RecordSchema.h"
#include "cli/records/RecordStore.h"

namespace {

using Clock = std::chrono::steady_clock;
using velor::testing::DevsimProcess;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double CpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Processor seconds a running process has used so far (user and system), from /proc.
double ProcessCpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) {
        fields >> skip;  // state .. cmajflt
    }
    long long user = 0, system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Seconds a velor-flash run takes; negative when it fails. cpu: its processor seconds.
double TimeFlash(const std::vector<std::string>& args, double* cpu = nullptr) {
    std::vector<std::string> command = {VELOR_FLASH};
    command.insert(command.end(), args.begin(), args.end());
    const int null = open("/dev/null", O_WRONLY);
    const auto start = Clock::now();
    const pid_t pid = velor::testing::Spawn(std::move(command), null, null);
    close(null);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds = Seconds(start);
    if (cpu) {
        *cpu = CpuSeconds(usage);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -seconds;
}

// Wall seconds of a station that writes one device per slot; where the processor time went.
struct StationRun {
    double seconds = 0;
    double flashCpu = 0;
    double simulatorCpu = 0;
};

StationRun RunStation(int slots, const std::string& geometry) {
    std::vector<std::unique_ptr<DevsimProcess>> devices;
    std::vector<std::string> args = {"station", "--count", std::to_string(slots)};
    for (int i = 0; i < slots; ++i) {
        devices.push_back(std::make_unique<DevsimProcess>(
            std::vector<std::string>{"--geometry", geometry, "--baud", "115200"}));
        args.insert(args.end(), {"--slot", std::to_string(i + 1) + "=" + devices.back()->Path()});
    }
    StationRun run;
    run.seconds = TimeFlash(args, &run.flashCpu);
    for (const auto& device : devices) {
        run.simulatorCpu += ProcessCpuSeconds(device->Pid());
    }
    return run;
}

void PrintCpu(int slots, const StationRun& run) {
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    std::printf(
        "  %d slot(s): wall %.2f s; processor: velor-flash %.2f s (%.2f s a device), simulators "
        "%.2f s (%.2f s a device); %.0f %% of %ld cores' time\n",
        slots, run.seconds, run.flashCpu, run.flashCpu / slots, run.simulatorCpu,
        run.simulatorCpu / slots,
        100 * (run.flashCpu + run.simulatorCpu) /
            (std::abs(run.seconds) * static_cast<double>(cores)),
        cores);
}

velor::cli::DeviceRecord Sample(long n) {
    velor::cli::DeviceRecord r;
    r.id = velor::cli::NewRecordId();
    char time[32];
    std::snprintf(time, sizeof time, "2026-12-%02ldT%02ld:%02ld:%02ldZ", 1 + n / 20000 % 28,
                  n / 3600 % 24, n / 60 % 60, n % 60);
    r.time = time;
    r.station = "st" + std::to_string(n % 3);
    r.slot = std::to_string(n % 8 + 1);
    r.port = "/dev/ttyUSB" + std::to_string(n % 8);
    r.release = "241004";
    r.imageSha256 = std::string(64, 'a');
    r.outcome = n % 37 == 0 ? "failed" : "done";
    r.message = n % 37 == 0 ? "Прилад не відповідає" : "Мікропрограма успішно завантажена";
    r.seconds = 17.0 + static_cast<double>(n % 50) / 10;
    r.calibration = "0.0.0";
    return r;
}

// Mean milliseconds of Append over n records.
double AppendMs(velor::cli::RecordStore& store, int n) {
    std::string error;
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i) {
        if (!store.Append(Sample(i), error)) {
            std::printf("  append failed: %s\n", error.c_str());
            return -1;
        }
    }
    return Seconds(start) * 1000.0 / n;
}

// 100,000 records straight into a fresh SQLite file, in one transaction.
bool FillSqlite(const std::string& file, long records) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, velor::cli::kCreateSchema, nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "INSERT INTO velor_schema VALUES (1); BEGIN", nullptr, nullptr,
                           nullptr) == SQLITE_OK;
    sqlite3_stmt* insert = nullptr;
    ok = ok && sqlite3_prepare_v2(db, velor::cli::kInsertRecord, -1, &insert, nullptr) == SQLITE_OK;
    for (long n = 0; ok && n < records; ++n) {
        const auto values = velor::cli::RowValues(Sample(n));
        for (std::size_t i = 0; i < values.size(); ++i) {
            sqlite3_bind_text(insert, static_cast<int>(i + 1), values[i].c_str(), -1,
                              SQLITE_TRANSIENT);
        }
        ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    }
    sqlite3_finalize(insert);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    int slots = 8;
    long records = 100000;
    std::string geometry = "16:64:64";
    std::string only;  // "station" or "records": that half alone
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--slots") == 0) {
            slots = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--geometry") == 0) {
            geometry = argv[i + 1];
        } else if (std::strcmp(argv[i], "--records") == 0) {
            records = std::atol(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--only") == 0) {
            only = argv[i + 1];
        }
    }
    bool met = true;

    double load[3] = {};
    getloadavg(load, 3);
    std::printf("load average at the start: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    if (only != "records") {
        const StationRun oneRun = RunStation(1, geometry);
        const StationRun manyRun = RunStation(slots, geometry);
        const double one = oneRun.seconds;
        const double many = manyRun.seconds;
        const double ratio = (slots / many) / (1 / one);
        std::printf(
            "units per hour: 1 slot %.0f (%.2f s), %d slots %.0f (%.2f s): %.2fx (goal >= "
            "7.5x)\n",
            3600 / one, one, slots, 3600 * slots / many, many, ratio);
        PrintCpu(1, oneRun);
        PrintCpu(slots, manyRun);
        met = met && one > 0 && many > 0 && ratio >= 7.5;
    }
    if (only == "station") {
        std::printf("%s\n", met ? "goals met" : "goals missed");
        return met ? 0 : 1;
    }
    velor::testing::TempDir dir;
    {
        std::string error;
        const auto store = velor::cli::MakeRecordStore(dir.path + "/cost.db", true, error);
        const double ms = store && store->Open(error) ? AppendMs(*store, 200) : -1;
        std::printf("recording a device, SQLite: %.2f ms (goal < 20 ms)\n", ms);
        met = met && ms > 0 && ms < 20;
    }
    const std::string big = dir.path + "/big.db";
    if (FillSqlite(big, records)) {
        double cpu = 0;
        const double s = TimeFlash({"report", big}, &cpu);
        std::printf("report over %ld records, SQLite: %.3f s (goal < 1 s), processor %.3f s\n",
                    records, s, cpu);
        met = met && s > 0 && s < 1;
    } else {
        met = false;
    }

    velor::testing::TempDir pgFolder;  // its own: the postgres user must reach it
    const std::string pgDir = pgFolder.path;
    if (geteuid() == 0 && std::filesystem::exists(velor::testing::kPgBin + "initdb")) {
        velor::testing::PgServer server(pgDir);
        setenv("VELOR_SPOOL_DIR", (dir.path + "/spool").c_str(), 1);
        std::string error;
        const auto store = velor::cli::MakeRecordStore(server.Url(), true, error);
        const double ms = server.Ok() && store && store->Open(error) ? AppendMs(*store, 200) : -1;
        std::printf("recording a device, PostgreSQL: %.2f ms (goal < 50 ms)%s\n", ms,
                    error.c_str());
        met = met && ms > 0 && ms < 50;
        // The same 100,000 records on the server, copied from the SQLite file.
        const std::string copy =
            "sqlite3 -csv " + big + " 'SELECT * FROM device_records' | psql -q -h " + pgDir +
            " -U velor -d postgres -c 'TRUNCATE device_records; COPY device_records FROM STDIN "
            "WITH (FORMAT csv)'";
        if (std::system(copy.c_str()) == 0) {
            double cpu = 0;
            const double s = TimeFlash({"report", server.Url()}, &cpu);
            std::printf("report over %ld records, PostgreSQL: %.3f s, processor %.3f s\n", records,
                        s, cpu);
        }
    } else {
        std::printf("PostgreSQL: skipped (needs root and Debian's postgresql 15)\n");
    }
    std::printf("%s\n", met ? "goals met" : "goals missed");
    return met ? 0 : 1;
}
