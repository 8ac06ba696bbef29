// Input scripts: a script either parses, and then formats to text that parses to the same events and formats to
// the same text again, or is refused with the number of the line at fault.
#include <string>

#include "fuzz_support.h"
#include "platform/window/input_script.h"

namespace {

std::string Format(const platform::InputScript& script) {
  std::string text = "zorvel-script 1\n";
  if (script.seed) text += "seed " + std::to_string(*script.seed) + "\n";
  for (const platform::ScriptEvent& event : script.events) text += platform::FormatScriptEvent(event) + "\n";
  return text;
}

bool SameEvent(const platform::ScriptEvent& a, const platform::ScriptEvent& b) {
  return a.tick == b.tick && a.kind == b.kind && a.x == b.x && a.y == b.y && a.key == b.key && a.path == b.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::InputScript script;
  std::string error;
  if (!platform::ParseInputScript(text, &script, &error)) {
    FUZZ_CHECK(error.rfind("line ", 0) == 0);
    return 0;
  }
  const std::string formatted = Format(script);
  platform::InputScript again;
  FUZZ_CHECK(platform::ParseInputScript(formatted, &again, &error));
  FUZZ_CHECK(again.seed == script.seed);
  FUZZ_CHECK(again.events.size() == script.events.size());
  for (size_t i = 0; i < script.events.size(); ++i) FUZZ_CHECK(SameEvent(again.events[i], script.events[i]));
  FUZZ_CHECK(Format(again) == formatted);
  return 0;
}
