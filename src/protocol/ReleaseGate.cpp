#include "protocol/ReleaseGate.h"

#include "app/Ansi.h"
#include "app/Conversions.h"

namespace velor {

ReleaseVerdict CheckRelease(std::string_view description) {
    if (Utf8Length(description) != kReleaseStamp.size()) {
        return ReleaseVerdict::Unknown;
    }
    if (description == kReleaseStamp) {
        return ReleaseVerdict::Same;
    }
    return StrToInt(description) > StrToInt(kReleaseStamp) ? ReleaseVerdict::Newer
                                                           : ReleaseVerdict::Older;
}

}  // namespace velor
