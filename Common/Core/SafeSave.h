// Saving that never destroys the file already there: the data goes to a
// temporary file beside the target, which replaces the target only when
// everything was written.
#pragma once

#include <functional>
#include <string>

#include "Core/Stream.h"

namespace mc {

// Runs write on a stream of a temporary file beside path and renames it into
// place. write returns false (or raises) to give up; the temporary file is
// then removed and the target left untouched. Returns false with a reason in
// error when nothing was saved. Exceptions from write propagate after the
// clean-up.
bool SaveFileSafely(const std::string& path, const std::function<bool(TStream&)>& write, std::string* error = nullptr);

}  // namespace mc
