#pragma once
// Where TerminalHost sends what the operations show: the message and error boxes' texts (line
// feeds only) and a call at every turn of the event loop, for progress.

#include <string>

namespace velor::cli {

class ITerminalOutput {
  public:
    virtual ~ITerminalOutput() = default;
    virtual void Message(const std::string& text) = 0;
    virtual void Error(const std::string& text) = 0;
    virtual void Turn() = 0;
};

}  // namespace velor::cli
