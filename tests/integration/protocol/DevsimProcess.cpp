#include "DevsimProcess.h"

#include "Spawn.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace velor::testing {

DevsimProcess::DevsimProcess(std::vector<std::string> args) {
    char dir[] = "/tmp/velor-devsim-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_dir = dir;
    args.insert(args.begin(), VELOR_DEVSIM);
    for (const char* option : {"--dump", "--log"}) {
        args.push_back(option);
        args.push_back(m_dir + (std::string(option) == "--dump" ? "/memory.bin" : "/traffic.log"));
    }
    int out[2];
    if (pipe(out) != 0) {
        throw std::runtime_error("pipe failed");
    }
    m_pid = Spawn(std::move(args), out[1]);
    close(out[1]);
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') {
        m_path += c;
    }
    close(out[0]);
    if (m_path.empty()) {
        Stop();
        throw std::runtime_error("velor-devsim printed no path");
    }
}

DevsimProcess::~DevsimProcess() {
    Stop();
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

void DevsimProcess::Kill() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

void DevsimProcess::Freeze() {
    if (m_pid > 0) {
        kill(m_pid, SIGSTOP);
        m_frozen = true;
    }
}

int DevsimProcess::Stop() {
    if (m_pid <= 0) {
        return -1;
    }
    // Thawed first: a SIGCONT that came after the SIGTERM could cancel the stop by which a
    // sanitizer's leak check at exit halts the process, and that check would wait for ever.
    if (m_frozen) {
        kill(m_pid, SIGCONT);
        m_frozen = false;
    }
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return status;
}

std::vector<uint8_t> DevsimProcess::Dump() const {
    std::ifstream in(m_dir + "/memory.bin", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> DevsimProcess::LogLines(const std::string& kind) const {
    std::ifstream in(m_dir + "/traffic.log");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string time, what, rest;
        fields >> time >> what;
        std::getline(fields, rest);
        if (what == kind) {
            lines.push_back(rest.empty() ? rest : rest.substr(1));
        }
    }
    return lines;
}

}  // namespace velor::testing
