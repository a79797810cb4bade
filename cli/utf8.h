// Just enough UTF-8 for the command line: checking it and naming characters.
#pragma once

#include <string>
#include <string_view>

namespace varnel {

// Length of the well-formed UTF-8 sequence at the start of `text`, or 0.
size_t Utf8SequenceLength(std::string_view text);

// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// "'€' (U+20AC)": a character named for a message.
std::string DescribeCharacter(std::string_view sequence);

}  // namespace varnel
