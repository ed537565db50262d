#pragma once

#include "platform/Seams.h"

namespace vintor {

// The seams in use, set once by the composition root (or by a test). Every pointer is valid at
// all times: until something is installed, quiet defaults answer (no windows, system clock).
struct Services {
  Dialogs* dialogs;
  Shell* shell;
  Clock* clock;
};

Services& Svc();

// Restores the quiet defaults (used by tests between cases).
void ResetServices();

}  // namespace vintor
