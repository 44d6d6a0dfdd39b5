// The identification and description replies over arbitrary bytes: DeviceInfo and the
// description in MemoAbout take what is there and never read past a reply.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/Memo.h"
#include "protocol/Description.h"
#include "protocol/DeviceInfo.h"
#include "protocol/Frames.h"

namespace {

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "reply fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string reply(reinterpret_cast<const char*>(data), size);

    velor::DeviceInfo info;
    velor::FillDeviceInfo(reply, info);
    Expect(info.BootloaderVersion.size() <= 2 && info.InfoField1.size() <= 2 &&
               info.InfoField2.size() <= 2,
           "a field longer than its place");
    Expect(info.BlocksPerPage >= 0 && info.BlocksPerPage <= 0xFF, "blocks per page");
    Expect(info.BlockSize >= 0 && info.BlockSize <= 0xFF, "block size");
    Expect(info.PageCount >= 0 && info.PageCount <= 0xFFFF, "page count");
    Expect(size < 4 || info.BootloaderVersion == reply.substr(3, 2), "the version as it stands");
    Expect(velor::ReplyCodeOf(reply).size() == std::min<std::size_t>(2, size > 1 ? size - 1 : 0),
           "the reply code");

    // A signed reply is exactly the frame its body makes.
    if (velor::ReplySigned(reply)) {
        Expect(reply == velor::MakeFrame(std::string_view(reply).substr(1, size - 4)),
               "a signed reply that is not its body's frame");
        Expect(info.SignsReplies, "a signed identify reply not noted");
    }
    // Only a reply that is one frame without check digits switches the check off.
    if (!info.SignsReplies) {
        Expect(velor::OneFrame(reply) && !velor::ReplySigned(reply), "the check off by a guess");
    }
    // A reply is accepted for a signed reply within it that carries the code.
    for (const char* code : {"84", "85", "86"}) {
        if (velor::SignedReplyAccepted(reply, code)) {
            Expect(reply.find(std::string("g") + code) != std::string::npos,
                   "accepted without its signed reply");
        }
    }
    const std::string_view described = velor::FirstSignedDescription(reply);
    Expect(described.empty() ||
               (described.size() >= 6 && described.front() == 'g' && described.back() == ';' &&
                reply.find(described) != std::string::npos),
           "a signed description that is no frame of the reply");

    const std::string body = velor::DescriptionBody(reply);
    Expect(body.size() == (size >= 5 ? size - 4 : 0), "the description body");
    velor::Memo memo;
    velor::ShowDescription(body, memo, "none");
    if (body.empty()) {
        Expect(memo.Text() == "none", "the no-description text");
    } else if (body.find('\n') == std::string::npos && body.size() >= 3) {
        bool ascii = true;
        for (unsigned char c : body)
            ascii = ascii && c < 0x80;
        if (ascii) {
            Expect(memo.Text() == body.substr(0, body.size() - 2), "the description shown");
        }
    }
    return 0;
}
