#pragma once
// Every command of velor-flash with its option table, for what reads them all: the first look at
// the command line (which word is the command) and the manual page.

#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace velor::cli {

struct CommandEntry {
    const char* name;
    const char* summary;  // one line for velor-flash --help
};

// In the order of velor-flash --help.
const std::vector<CommandEntry>& CommandEntries();

// Every option table, the write to several ports and the station included; each bound to options
// of its own that live as long as the tables.
class AllCommandApps {
  public:
    AllCommandApps();
    ~AllCommandApps();
    AllCommandApps(const AllCommandApps&) = delete;
    AllCommandApps& operator=(const AllCommandApps&) = delete;

    const std::vector<std::unique_ptr<CLI::App>>& Apps() const { return m_apps; }
    // Whether some command's option of this name takes a value.
    bool TakesValue(const std::string& name) const;

  private:
    struct Bound;
    std::unique_ptr<Bound> m_bound;
    std::vector<std::unique_ptr<CLI::App>> m_apps;
};

// The command and its arguments: the first word that is neither an option nor an option's value
// is the command; options before it and after it are the command's, in their order.
struct CommandLineSplit {
    std::string command;  // empty: none given
    Args args;
};
CommandLineSplit SplitCommandLine(const Args& args);

}  // namespace velor::cli
