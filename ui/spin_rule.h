// What a spin button makes of its box's text.
#pragma once

#include <string_view>

namespace varnel::ui {

// The whole number at the start of `text`: leading white space skipped, an
// optional sign, then decimal digits up to the first other character; no
// digits give 0. Saturates instead of overflowing.
long long LeadingNumber(std::wstring_view text);

// One step of a spin button whose range is `lowest` to `highest`: up adds 1,
// down subtracts 1, and a result outside the range lands on the other end
// (past the top up gives `lowest`, below the bottom down gives `highest`).
int SpinStep(std::wstring_view text, bool up, int lowest, int highest);

}  // namespace varnel::ui
