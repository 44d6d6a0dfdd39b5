#include "protocol/Description.h"

#include "app/Ansi.h"

namespace velor {

std::string DescriptionBody(std::string_view reply) {
    return reply.size() >= 5 ? std::string(reply.substr(3, reply.size() - 4)) : std::string();
}

void ShowDescription(std::string_view body, Memo& memo, std::string_view noDescription) {
    if (body.empty()) {
        memo.SetText(std::string(noDescription));
        return;
    }
    if (body.size() < 3) {
        return;
    }
    const std::string_view shown = body.substr(0, body.size() - 2);
    std::size_t run = 0;  // start of the characters not yet appended
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\n') {
            memo.Append(AnsiToUtf8(shown.substr(run, i - run)));
            memo.EndLine();
            run = i + 1;
        }
    }
    memo.Append(AnsiToUtf8(shown.substr(run)));
}

}  // namespace velor
