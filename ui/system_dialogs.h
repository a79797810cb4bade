// The two system dialogs the window fills boxes from: the folder-browse
// dialog and the font dialog. Both are modal to their owner.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace varnel::ui {

// Shows the folder-browse dialog: the whole folder tree from the desktop
// down, folders only, `title` above the tree and an edit field for typing a
// folder name. Returns the file-system path of the folder the user confirmed
// as the system gives it (a drive root as "D:\", any other folder without a
// trailing "\"); nothing when the user cancelled or confirmed an item that
// has no file-system path, such as the computer itself.
std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& title);

// A folder path ending in exactly one "\": "D:\Video" and "D:\Video\" both
// give "D:\Video\", "D:\" stays "D:\".
std::wstring WithTrailingSeparator(std::wstring folder);

// The font the font dialog keeps between openings: the one chosen last.
struct FontChoice {
  std::wstring faceName;  // empty: no face preset
  int pointSize = 0;      // whole points; 0: no size preset
  COLORREF colour = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

// Shows the font dialog with the screen fonts and its effects section
// (strike-out, underline, colour), preset from `kept`. True when the user
// confirmed; `kept` then holds the chosen font. A cancel changes nothing.
bool ChooseFontFor(HWND owner, FontChoice& kept);

}  // namespace varnel::ui
