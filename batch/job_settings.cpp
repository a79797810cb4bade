#include "batch/job_settings.h"

namespace varnel {

NativeText NormalizedExtension(NativeView typed) {
  // Names are compared by their upper-cased extension, so a typed extension
  // matches whatever case the user typed it in, with or without its dot.
  if (!typed.empty() && typed.front() == VARNEL_NATIVE('.')) typed.remove_prefix(1);
  NativeText extension(typed);
  for (NativeChar& c : extension) c = UpperAscii(c);
  return extension;
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
