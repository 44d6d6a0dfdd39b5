#pragma once
// The strings and the flag that identification, flashing and the keys share. One set per device
// session; each keeps its last contents between operations.

#include <string>

namespace velor {

struct ProtocolBuffers {
    std::string IdReply;          // last identify or describe reply; then the description text
    std::string ReplyCode;        // characters 2-3 of the last identify or describe reply
    std::string LastReply;        // last reply to erase, write, program or reset
    std::string CurrentCommand;   // the frame the flashing is sending
    bool AbortRequested = false;  // set by the stop key, cleared when a flashing starts
    // A signing device's description never came with its check digits right: no release may be
    // judged from it.
    bool DescriptionGarbled = false;
};

}  // namespace velor
