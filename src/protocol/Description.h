#pragma once
// The device's description reply, as it ends up in MemoAbout.

#include <string>
#include <string_view>

#include "app/Memo.h"

namespace velor {

// Characters 4 to length-1 of a describe reply: the text and the two characters after it
// (empty for a reply of fewer than five characters).
std::string DescriptionBody(std::string_view reply);

// Puts the description body into the memo (UTF-8): noDescription when the body is empty,
// otherwise every character but the last two, a line feed ending the memo's line and every
// other character (8-bit, CP1251) appended as it stands.
void ShowDescription(std::string_view body, Memo& memo, std::string_view noDescription);

}  // namespace velor
