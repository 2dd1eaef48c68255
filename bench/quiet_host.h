// The benchmark's quiet host: counts nothing, draws nothing and keeps the closing message, to
// time the core alone.

#pragma once

#include <string>
#include <string_view>

#include "conversion.h"

namespace bench {

// Counts nothing, draws nothing and keeps the closing message.
class QuietHost final : public conversion::Host {
 public:
  void RepaintCounter() override {}
  void SetCounterText(std::string_view) override {}
  void ShowMessage(std::string_view text) override { message.assign(text); }

  std::string message;
};

}  // namespace bench
