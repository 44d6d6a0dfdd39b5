#include "FlashRun.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "Spawn.h"

namespace velor::testing {

namespace {

void Drain(int fd, std::string& into) {
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        into.append(buffer, static_cast<std::size_t>(n));
    close(fd);
}

// Sets the entries for the life of the object (the child inherits them at Spawn).
class EnvScope {
  public:
    explicit EnvScope(const std::vector<std::string>& entries) {
        for (const auto& entry : entries) {
            const auto eq = entry.find('=');
            const std::string name = entry.substr(0, eq);
            const char* old = std::getenv(name.c_str());
            m_saved.push_back({name, old != nullptr, old != nullptr ? old : ""});
            setenv(name.c_str(), entry.substr(eq + 1).c_str(), 1);
        }
    }
    ~EnvScope() {
        for (const auto& saved : m_saved) {
            if (saved.had)
                setenv(saved.name.c_str(), saved.value.c_str(), 1);
            else
                unsetenv(saved.name.c_str());
        }
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

  private:
    struct Saved {
        std::string name;
        bool had;
        std::string value;
    };
    std::vector<Saved> m_saved;
};

}  // namespace

FlashResult RunFlashProgram(const std::vector<std::string>& args,
                            const std::vector<std::string>& extraEnv) {
    int out[2], err[2];
    if (pipe(out) != 0)
        return {};
    if (pipe(err) != 0) {
        close(out[0]);
        close(out[1]);
        return {};
    }
    std::vector<std::string> argv{VELOR_FLASH};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t pid;
    {
        const EnvScope env(extraEnv);
        pid = Spawn(std::move(argv), out[1], err[1]);
    }
    close(out[1]);
    close(err[1]);
    FlashResult r;
    std::thread errReader(Drain, err[0], std::ref(r.err));
    Drain(out[0], r.out);
    errReader.join();
    int status = 0;
    if (pid > 0)
        waitpid(pid, &status, 0);
    r.code = pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

}  // namespace velor::testing
