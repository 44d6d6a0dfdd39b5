#include "cli/text/Translate.h"

#include <cstddef>

#include "cli/text/MoCatalogue.h"
#include "cli/text/UiLanguage.h"

namespace velor::cli {

// uk.mo as msgfmt compiled it from po/uk.po, built into the program (UkCatalogue.cpp is
// generated): no locale files to install, the same on Windows, where there is no libintl.
extern const unsigned char kUkCatalogue[];
extern const std::size_t kUkCatalogueSize;

namespace {

// Read once, on the first text; read-only after that, so any thread may look up.
const MoCatalogue& Catalogue() {
    static const MoCatalogue catalogue =
        OperatorLanguage() == "uk" ? MoCatalogue(kUkCatalogue, kUkCatalogueSize) : MoCatalogue();
    return catalogue;
}

}  // namespace

const char* Tr(const char* english) {
    const char* translation = Catalogue().Find(english);
    return translation != nullptr ? translation : english;
}

}  // namespace velor::cli
