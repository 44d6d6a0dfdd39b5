#pragma once
// The terminal program's own texts in the operator's language. Only velor-flash's own words go
// through Tr(): the device's and the window's messages stay as the system has them.

namespace velor::cli {

// english: a literal (its address may be kept); returns the catalogue's text for it, or english.
// The compiler checks a printf call's arguments against the English format.
#if defined(__GNUC__)
__attribute__((format_arg(1)))
#endif
const char*
Tr(const char* english);

}  // namespace velor::cli
