#pragma once
// A PostgreSQL server of the test's own: initdb and pg_ctl run as the postgres user (initdb
// refuses root) in a temporary folder, a Unix socket there, no TCP port.

#include <stdlib.h>

#include <cstdio>
#include <string>

namespace velor::testing {

inline const std::string kPgBin = "/usr/lib/postgresql/15/bin/";

inline std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, n);
        }
        pclose(pipe);
    }
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

class PgServer {
  public:
    explicit PgServer(const std::string& dir) : m_dir(dir) {
        m_ok = std::system(("chown postgres " + dir + " && runuser -u postgres -- " + kPgBin +
                            "initdb -D " + dir + "/data -A trust -U velor >/dev/null 2>&1")
                               .c_str()) == 0 &&
               Start();
    }
    ~PgServer() { Stop(); }
    bool Ok() const { return m_ok; }
    bool Start() {
        return std::system(("runuser -u postgres -- " + kPgBin + "pg_ctl -D " + m_dir +
                            "/data -o \"-k " + m_dir + " -c listen_addresses=''\" -l " + m_dir +
                            "/log -w start >/dev/null")
                               .c_str()) == 0;
    }
    bool Stop() {
        return std::system(("runuser -u postgres -- " + kPgBin + "pg_ctl -D " + m_dir +
                            "/data -m fast -w stop >/dev/null 2>&1")
                               .c_str()) == 0;
    }
    std::string Url() const { return "postgresql:///postgres?host=" + m_dir + "&user=velor"; }
    // A query's rows by psql, the client any operator would use: fields by |, rows by newline.
    std::string Query(const std::string& sql) const {
        return Output("psql -h " + m_dir + " -U velor -d postgres -At -c \"" + sql + "\" 2>&1");
    }

  private:
    std::string m_dir;
    bool m_ok = false;
};

}  // namespace velor::testing
