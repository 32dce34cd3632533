// Puts every process-wide value back to its state at process start, so tests start clean.
#pragma once

namespace kestrun {

void ResetProcessWideValues();

}  // namespace kestrun
