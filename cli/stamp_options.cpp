#include "cli/stamp_options.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "cli/utf8.h"
#include "platform/encoding.h"
#include "subtitle/style_items.h"
#include "subtitle/timing.h"

namespace varnel {

const char kStampUsage[] =
    "Usage: varnel-stamp [OPTIONS] FOLDER\n"
    "       varnel-stamp [OPTIONS] --all-drives   (Windows only: walks every fixed drive)\n"
    "\n"
    "Writes an advertisement subtitle file beside every movie in FOLDER and its\n"
    "subfolders: Film.avi gets Film.SRT (or Film.SSA).\n"
    "\n"
    "  -l, --line SECONDS:TEXT   one advertisement line, shown for SECONDS; repeat in\n"
    "                            order; at least one line is required\n"
    "      --lines-file FILE     more lines, one SECONDS:TEXT per line (UTF-8)\n"
    "      --lead-in SECONDS     blank lead-in before the first line (default 10)\n"
    "  -f, --format srt|ssa      subtitle format (default srt)\n"
    "  -e, --ext LIST            movie extensions, comma-separated, any case, at most 11\n"
    "                            (default 3GP,MP4,AVI,WMV,FLV,VOB,RMVB,RM)\n"
    "      --encoding gbk|utf-8  encoding of the written files (default gbk)\n"
    "SSA style (defaults as in the window):\n"
    "      --font NAME (黑体)  --font-size N (30)\n"
    "      --primary-colour C (255)  --secondary-colour C (16711680)\n"
    "      --edge-colour C (0)  --shadow-colour C (0)\n"
    "                            C: Windows RGB value 0..16777215, or #RRGGBB\n"
    "      --display-mode shadow|opaque   (default opaque)\n"
    "      --shadow-size 0..4    outline (default 0 when opaque, 1 when shadow)\n"
    "      --alignment N         1..11 (default 2)\n"
    "      --margin-left N (10)  --margin-right N (10)  --margin-top N (12)\n"
    "      --transparency N (0)  --charset NAME|N (GB2312 = 134)\n"
    "  -n, --dry-run             print each path that would be written; write nothing\n"
    "      --skip-existing       leave an existing subtitle file as it is\n"
    "  -q, --quiet               no progress\n"
    "      --help, --version\n"
    "\n"
    "Numbers are whole numbers from 0 to 2147483647. The last line printed is\n"
    "\"written: W, skipped: S, failed: F\". Exit status: 0 when nothing failed,\n"
    "1 when a file could not be written or a folder not listed, 2 for bad usage.\n";

namespace {

constexpr int32_t kMaxNumber = 2147483647;

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::optional<int32_t> WholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxNumber) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<int32_t> Colour(std::string_view text) {
  if (!text.empty() && text[0] == '#') {
    if (text.size() != 7) return std::nullopt;
    uint32_t rgb = 0;
    for (char c : text.substr(1)) {
      int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) return std::nullopt;
      rgb = rgb * 16 + static_cast<uint32_t>(digit);
    }
    // #RRGGBB to the Windows value, red in the lowest byte.
    return static_cast<int32_t>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
  }
  std::optional<int32_t> value = WholeNumber(text);
  if (!value || *value > 0xFFFFFF) return std::nullopt;
  return value;
}

class Parser {
 public:
  explicit Parser(const std::vector<NativeText>& args) : args_(args) {}

  std::variant<StampOptions, UsageError> Parse();

 private:
  struct Failure {
    std::string message;
  };
  [[noreturn]] void Fail(std::string message) { throw Failure{std::move(message)}; }

  std::string Value(const std::string& option);
  int32_t Number(const std::string& option, int32_t low = 0, int32_t high = kMaxNumber);
  Bytes Encoded(const std::string& option, std::string_view utf8);
  void AddLine(const std::string& where, std::string_view entry);
  void ReadLinesFile(const std::string& file);
  void SetExtensions(const std::string& list);
  void Finish();

  const std::vector<NativeText>& args_;
  size_t next_ = 0;
  std::optional<std::string> attached_;  // a value given as --option=value or -lVALUE
  StampOptions options_;
  std::vector<std::pair<std::string, std::string>> lineTexts_;  // where, UTF-8 text
  std::vector<int32_t> lineSeconds_;
  std::vector<std::string> linesFiles_;
  std::optional<std::string> font_;
  std::optional<int32_t> shadowSize_;
  bool opaque_ = true;
  bool allDrives_ = false;
  std::optional<NativeText> folder_;
};

std::string Parser::Value(const std::string& option) {
  if (attached_) {
    std::string value = *attached_;
    attached_.reset();
    return value;
  }
  if (next_ >= args_.size()) Fail(option + ": needs a value");
  return Utf8FromNative(args_[next_++]);
}

int32_t Parser::Number(const std::string& option, int32_t low, int32_t high) {
  std::string text = Value(option);
  std::optional<int32_t> value = WholeNumber(text);
  if (!value || *value < low || *value > high) {
    Fail(option + ": expected a whole number from " + std::to_string(low) + " to " +
         std::to_string(high) + ", got '" + text + "'");
  }
  return *value;
}

Bytes Parser::Encoded(const std::string& option, std::string_view utf8) {
  if (!IsValidUtf8(utf8)) Fail(option + ": the text is not valid UTF-8");
  if (options_.encoding == DocumentEncoding::Utf8) return Bytes(utf8);
  if (std::optional<Bytes> bytes = Utf8ToCodePage936(utf8)) return *bytes;
  // Name the first character that has no place in the code page.
  for (std::string_view rest = utf8; !rest.empty();) {
    size_t length = Utf8SequenceLength(rest);
    if (!Utf8ToCodePage936(rest.substr(0, length))) {
      Fail(option + ": the character " + DescribeCharacter(rest.substr(0, length)) +
           " cannot be written in gbk (try --encoding utf-8)");
    }
    rest.remove_prefix(length);
  }
  Fail(option + ": the text cannot be written in gbk");
}

void Parser::AddLine(const std::string& where, std::string_view entry) {
  size_t colon = entry.find(':');
  if (colon == std::string_view::npos) Fail(where + ": expected SECONDS:TEXT, got '" + std::string(entry) + "'");
  std::optional<int32_t> seconds = WholeNumber(entry.substr(0, colon));
  if (!seconds) {
    Fail(where + ": SECONDS must be a whole number from 0 to 2147483647, got '" +
         std::string(entry.substr(0, colon)) + "'");
  }
  std::string_view text = entry.substr(colon + 1);
  // A line end inside a text would break the subtitle file's own structure.
  if (text.find_first_of("\r\n") != std::string_view::npos) Fail(where + ": TEXT must be one line");
  lineSeconds_.push_back(*seconds);
  lineTexts_.emplace_back(where, std::string(text));
}

void Parser::ReadLinesFile(const std::string& file) {
  std::ifstream in(std::filesystem::path(NativeFromUtf8(file)), std::ios::binary);
  if (!in) Fail("--lines-file: cannot read '" + file + "'");
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (content.rfind("\xEF\xBB\xBF", 0) == 0) content.erase(0, 3);
  std::istringstream lines(content);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    AddLine("--lines-file " + file + ":" + std::to_string(number), line);
  }
}

void Parser::SetExtensions(const std::string& list) {
  MovieExtensionSlots slots;
  size_t count = 0;
  std::istringstream items(list + ",");
  std::string item;
  while (std::getline(items, item, ',')) {
    NativeText extension = NormalizedExtension(NativeFromUtf8(item));
    if (extension.empty()) Fail("--ext: expected comma-separated extensions such as AVI,MKV, got '" + list + "'");
    if (!IsValidUtf8(item) || extension.find_first_of(VARNEL_NATIVE("./\\")) != NativeText::npos) {
      Fail("--ext: '" + item + "' is not a file extension");
    }
    if (count == slots.size()) Fail("--ext: at most 11 extensions");
    slots[count++] = std::move(extension);
  }
  options_.settings.extensionSlots = slots;
}

std::variant<StampOptions, UsageError> Parser::Parse() {
  try {
    JobSettings& settings = options_.settings;
    std::array<bool, kExtensionSlots> allFixed{};
    std::fill_n(allFixed.begin(), kFixedMovieExtensions.size(), true);
    settings.extensionSlots = ExtensionSlotsFromTicks(allFixed, {});
    settings.leadInText = "10";

    bool optionsEnded = false;
    while (next_ < args_.size()) {
      std::string arg = Utf8FromNative(args_[next_]);
      if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
        if (folder_) Fail("only one FOLDER may be given");
        folder_ = args_[next_++];
        continue;
      }
      ++next_;
      if (arg == "--") {
        optionsEnded = true;
        continue;
      }
      std::string name = arg;
      if (arg.rfind("--", 0) == 0) {
        size_t equals = arg.find('=');
        if (equals != std::string::npos) {
          name = arg.substr(0, equals);
          attached_ = arg.substr(equals + 1);
        }
      } else if (arg.size() > 2) {
        name = arg.substr(0, 2);
        attached_ = arg.substr(2);
      }
      static const std::pair<const char*, const char*> kShort[] = {
          {"-l", "--line"}, {"-f", "--format"}, {"-e", "--ext"},
          {"-n", "--dry-run"}, {"-q", "--quiet"}};
      for (const auto& [brief, full] : kShort) {
        if (name == brief) name = full;
      }

      if (name == "--line") {
        AddLine("--line", Value(name));
      } else if (name == "--lines-file") {
        linesFiles_.push_back(Value(name));
      } else if (name == "--lead-in") {
        settings.leadInText = DecimalText(Number(name));
      } else if (name == "--format") {
        std::string format = Lower(Value(name));
        if (format != "srt" && format != "ssa") Fail("--format: expected srt or ssa, got '" + format + "'");
        settings.subtitleType = format == "srt" ? 0 : 1;
      } else if (name == "--ext") {
        SetExtensions(Value(name));
      } else if (name == "--encoding") {
        std::string encoding = Lower(Value(name));
        if (encoding == "gbk" || encoding == "cp936") {
          options_.encoding = DocumentEncoding::Gbk;
        } else if (encoding == "utf-8" || encoding == "utf8") {
          options_.encoding = DocumentEncoding::Utf8;
        } else {
          Fail("--encoding: expected gbk or utf-8, got '" + encoding + "'");
        }
      } else if (name == "--font") {
        font_ = Value(name);
      } else if (name == "--font-size") {
        settings.style.Fontsize = DecimalText(Number(name));
      } else if (name == "--primary-colour" || name == "--secondary-colour" ||
                 name == "--edge-colour" || name == "--shadow-colour") {
        std::string text = Value(name);
        std::optional<int32_t> colour = Colour(text);
        if (!colour) Fail(name + ": expected a Windows RGB value from 0 to 16777215 or #RRGGBB, got '" + text + "'");
        int32_t& field = name == "--primary-colour"   ? settings.style.PrimaryColour
                         : name == "--secondary-colour" ? settings.style.SecondaryColour
                         : name == "--edge-colour"      ? settings.style.TertiaryColour
                                                        : settings.style.BackColour;
        field = *colour;
      } else if (name == "--display-mode") {
        std::string mode = Lower(Value(name));
        if (mode != "shadow" && mode != "opaque") Fail("--display-mode: expected shadow or opaque, got '" + mode + "'");
        opaque_ = mode == "opaque";
      } else if (name == "--shadow-size") {
        shadowSize_ = Number(name, 0, kShadowSizeCount - 1);
      } else if (name == "--alignment") {
        settings.style.Alignment = Number(name, 1, 11);
      } else if (name == "--margin-left") {
        settings.style.MarginL = DecimalText(Number(name));
      } else if (name == "--margin-right") {
        settings.style.MarginR = DecimalText(Number(name));
      } else if (name == "--margin-top") {
        settings.style.MarginV = DecimalText(Number(name));
      } else if (name == "--transparency") {
        settings.style.AlphaLevel = DecimalText(Number(name));
      } else if (name == "--charset") {
        std::string charset = Value(name);
        std::optional<int32_t> number = WholeNumber(charset);
        auto item = std::find_if(kEncodingItems.begin(), kEncodingItems.end(), [&](const StyleItem& i) {
          return number ? i.value == *number : Lower(std::string(i.text)) == Lower(charset);
        });
        if (item == kEncodingItems.end()) {
          std::string names;
          for (const StyleItem& i : kEncodingItems) names += (names.empty() ? "" : ", ") + std::string(i.text);
          Fail("--charset: expected one of " + names + " or its number, got '" + charset + "'");
        }
        settings.style.Encoding = item->value;
      } else if (name == "--dry-run") {
        options_.dryRun = true;
      } else if (name == "--skip-existing") {
        options_.skipExisting = true;
      } else if (name == "--quiet") {
        options_.quiet = true;
      } else if (name == "--all-drives") {
        allDrives_ = true;
      } else if (name == "--help") {
        options_.action = StampOptions::Action::Help;
        return options_;
      } else if (name == "--version") {
        options_.action = StampOptions::Action::Version;
        return options_;
      } else {
        Fail("unknown option '" + name + "'");
      }
      if (attached_) Fail(name + ": takes no value");
    }
    Finish();
    return options_;
  } catch (const Failure& failure) {
    return UsageError{failure.message};
  }
}

void Parser::Finish() {
  JobSettings& settings = options_.settings;
  for (const std::string& file : linesFiles_) ReadLinesFile(file);
  if (lineTexts_.empty()) Fail("at least one advertisement line is required (--line SECONDS:TEXT)");

  // Times are whole seconds in 32 bits; a schedule past that would be written wrong.
  int64_t end = TextToInt(settings.leadInText);
  for (int32_t seconds : lineSeconds_) end += seconds;
  if (end > kMaxNumber) Fail("the lead-in and the lines add up to more than 2147483647 seconds");

  for (size_t i = 0; i < lineTexts_.size(); ++i) {
    settings.rows.push_back({DecimalText(lineSeconds_[i]), Encoded(lineTexts_[i].first, lineTexts_[i].second)});
  }
  settings.adRowCount = static_cast<int>(settings.rows.size());

  if (font_) {
    // A comma or a control character would add fields or lines to the style.
    if (std::any_of(font_->begin(), font_->end(), [](char c) { return c == ',' || (c >= 0 && c < 0x20); })) {
      Fail("--font: a font name cannot hold commas or control characters");
    }
    settings.style.Fontname = Encoded("--font", *font_);
  } else {
    settings.style.Fontname = Encoded("--font", "黑体");
  }
  settings.style.BorderStyle = opaque_ ? kDisplayModeItems[1].value : kDisplayModeItems[0].value;
  if (opaque_ && shadowSize_.value_or(0) != 0) Fail("--shadow-size: only with --display-mode shadow");
  settings.style.Outline = shadowSize_.value_or(opaque_ ? 0 : 1);

  if (allDrives_ && folder_) Fail("give either FOLDER or --all-drives, not both");
  if (!allDrives_ && !folder_) Fail("no FOLDER given (the stamper walks all drives only with --all-drives)");
  if (folder_ && folder_->empty()) Fail("FOLDER must not be empty");
#ifndef _WIN32
  if (allDrives_) Fail("--all-drives: this system has no drive letters; give a FOLDER");
#endif
  settings.allDrives = allDrives_;
  settings.folderText = folder_.value_or(NativeText());
}

}  // namespace

std::variant<StampOptions, UsageError> ParseStampOptions(const std::vector<NativeText>& args) {
  return Parser(args).Parse();
}

}  // namespace varnel
