#include "batch/job_settings.h"

namespace varnel {

NativeText UpperCaseAscii(NativeView text) {
  // Native names are UTF-8 or UTF-16, in which no byte or unit of a non-ASCII
  // character falls into a..z.
  NativeText upper(text);
  for (NativeChar& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<NativeChar>(c - 'a' + 'A');
  }
  return upper;
}

NativeText NormalizedExtension(NativeView typed) {
  // Names are compared by their upper-cased extension, so a typed extension
  // matches whatever case the user typed it in, with or without its dot.
  if (!typed.empty() && typed.front() == VARNEL_NATIVE('.')) typed.remove_prefix(1);
  return UpperCaseAscii(typed);
}

MovieExtensionSlots ExtensionSlotsFromTicks(const std::array<bool, kExtensionSlots>& extensionTicked,
                                            const std::array<NativeText, 3>& customExtensions) {
  MovieExtensionSlots slots;
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!extensionTicked[i]) continue;
    slots[i] = i < kFixedMovieExtensions.size() ? NativeText(kFixedMovieExtensions[i])
                                                : NormalizedExtension(customExtensions[i - kFixedMovieExtensions.size()]);
  }
  return slots;
}

}  // namespace varnel
