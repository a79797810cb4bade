// What one click of the Start button reads from the window, as one snapshot.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "batch/native_text.h"
#include "subtitle/documents.h"

namespace varnel {

inline constexpr int kExtensionSlots = 11;

// The extensions of the eight fixed check boxes, slots 0 to 7. Slots 8 to 10
// take the texts of the three free-text boxes.
inline constexpr std::array<NativeView, 8> kFixedMovieExtensions{
    VARNEL_NATIVE("3GP"), VARNEL_NATIVE("MP4"), VARNEL_NATIVE("AVI"), VARNEL_NATIVE("WMV"),
    VARNEL_NATIVE("FLV"), VARNEL_NATIVE("VOB"), VARNEL_NATIVE("RMVB"), VARNEL_NATIVE("RM")};

using MovieExtensionSlots = std::array<NativeText, kExtensionSlots>;

// The ASCII letters a..z in upper case, every other character unchanged.
// Native names are UTF-8 or UTF-16, in which no byte or unit of a non-ASCII
// character falls into a..z.
constexpr NativeChar UpperAscii(NativeChar c) {
  return c >= 'a' && c <= 'z' ? static_cast<NativeChar>(c - 'a' + 'A') : c;
}

// A typed extension as the slots hold it: ASCII letters in upper case, one
// leading "." dropped.
NativeText NormalizedExtension(NativeView typed);

// The slot texts for the window's eleven extension check boxes: a ticked box
// puts its extension in its slot, an unticked one leaves the slot empty.
// `customExtensions` are the texts of the three free-text boxes, taken in any
// case and with or without a leading ".".
MovieExtensionSlots ExtensionSlotsFromTicks(const std::array<bool, kExtensionSlots>& extensionTicked,
                                            const std::array<NativeText, 3>& customExtensions);

struct JobSettings {
  int adRowCount = 0;
  // The texts of the eleven slots of movieExtensions (see ExtensionSlotsFromTicks).
  MovieExtensionSlots extensionSlots;
  int32_t subtitleType = 0;  // 0 SRT, 1 SSA, -1 nothing selected
  SsaStyle style;
  Bytes leadInText;
  std::vector<AdLine> rows;
  NativeText folderText;
  bool allDrives = false;
};

}  // namespace varnel
