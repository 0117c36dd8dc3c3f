#pragma once

#include "core/JobSettings.h"

#include <string>

namespace varnak {

// Encodes the record as a ZOR command string: the command text, CR LF, then the variable
// block. Document mode uses PageEntries and writes no variables; chapter mode uses
// ChapterEntries and numbers a copy-count variable per chapter. Pure: any record is valid.
std::string BuildCommandString(const JobSettings& settings, bool documentMode);

} // namespace varnak
