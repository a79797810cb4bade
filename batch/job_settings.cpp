#include "batch/job_settings.h"

namespace varnel {

MovieExtensionSlots ExtensionSlotsFromTicks(const std::array<bool, kExtensionSlots>& extensionTicked,
                                            const std::array<NativeText, 3>& customExtensions) {
  MovieExtensionSlots slots;
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!extensionTicked[i]) continue;
    slots[i] = i < kFixedMovieExtensions.size() ? NativeText(kFixedMovieExtensions[i])
                                                : customExtensions[i - kFixedMovieExtensions.size()];
  }
  return slots;
}

}  // namespace varnel
