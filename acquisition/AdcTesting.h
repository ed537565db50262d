#pragma once

namespace vintor {

// Makes the next AdcAcquire fail to start its thread, as if the system had refused it.
void AdcFailNextThreadStart();

}  // namespace vintor
