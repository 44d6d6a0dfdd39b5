// velor-devsim's frame parser over arbitrary line input, fed in arbitrary pieces, and the
// simulated bootloader over every frame it cuts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BootloaderModel.h"
#include "FrameParser.h"

namespace {

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "frame fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    // The first byte chooses the pieces the rest arrives in.
    const std::size_t piece = 1 + data[0] % 16;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    devsim::FrameParser whole;
    std::vector<std::string> wholeFrames;
    whole.Feed(bytes, wholeFrames);

    devsim::FrameParser pieces;
    std::vector<std::string> pieceFrames;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        pieces.Feed(std::string_view(bytes).substr(at, piece), pieceFrames);
    }
    Expect(wholeFrames == pieceFrames, "the frames depend on how the bytes arrived");
    Expect(whole.Discarded() == pieces.Discarded(), "the discarded count depends on the pieces");

    std::size_t framed = 0;
    for (const auto& f : wholeFrames) {
        Expect(f.size() >= 2 && f.front() == 'g' && f.back() == ';', "a frame is g...;");
        Expect(f.find('g', 1) == std::string::npos, "a g inside a frame");
        Expect(f.find(';') == f.size() - 1, "a ; inside a frame");
        Expect(f.size() <= devsim::FrameParser::kMaxFrame, "an overlong frame");
        framed += f.size();
    }
    Expect(framed + whole.Discarded() <= bytes.size(), "more bytes out than in");

    devsim::ModelConfig config;
    config.geometry = {2, 8, 3};
    devsim::BootloaderModel model(config);
    for (const auto& f : wholeFrames) {
        const auto result = model.Handle(f);
        if (result.reply) {
            Expect(result.reply->size() >= 6 && result.reply->front() == 'g' &&
                       result.reply->back() == ';',
                   "a reply is g...;");
        }
        Expect(model.Memory().size() == 48, "the memory changed its size");
    }
    return 0;
}
