#pragma once

#include "platform/Seams.h"

namespace vintor {

// Opens documents with the desktop's default viewer.
class DesktopShell final : public Shell {
 public:
  bool Open(const QString& path) override;
};

}  // namespace vintor
