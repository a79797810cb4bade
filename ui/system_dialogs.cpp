#include "ui/system_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace varnel::ui {

std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& title) {
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.pidlRoot = nullptr;  // the desktop: the whole tree
  browse.lpszTitle = title.c_str();
  // Folders only; the OK button is greyed on items that are no folder of the
  // file system, though a confirmed one is still answered with nothing below.
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen) return std::nullopt;

  // Asked for as a string of its own, so a path of any length comes whole.
  PWSTR path = nullptr;
  const HRESULT named = SHGetNameFromIDList(chosen, SIGDN_FILESYSPATH, &path);
  CoTaskMemFree(chosen);
  if (FAILED(named) || !path) return std::nullopt;
  std::wstring folder(path);
  CoTaskMemFree(path);
  if (folder.empty()) return std::nullopt;
  return folder;
}

std::wstring WithTrailingSeparator(std::wstring folder) {
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

bool ChooseFontFor(HWND owner, FontChoice& kept) {
  LOGFONTW font{};
  font.lfCharSet = DEFAULT_CHARSET;
  const size_t length = kept.faceName.copy(font.lfFaceName, LF_FACESIZE - 1);
  font.lfFaceName[length] = L'\0';
  if (kept.pointSize != 0) {
    // The dialog turns heights into points at the screen's resolution.
    HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(kept.pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
  }
  font.lfWeight = kept.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = kept.italic;
  font.lfUnderline = kept.underline;
  font.lfStrikeOut = kept.strikeOut;

  CHOOSEFONTW choose{};
  choose.lStructSize = sizeof(choose);
  choose.hwndOwner = owner;
  choose.lpLogFont = &font;
  choose.rgbColors = kept.colour;
  choose.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontW(&choose)) return false;

  kept.faceName = font.lfFaceName;
  kept.pointSize = choose.iPointSize / 10;
  kept.colour = choose.rgbColors;
  kept.bold = font.lfWeight >= FW_BOLD;
  kept.italic = font.lfItalic != 0;
  kept.underline = font.lfUnderline != 0;
  kept.strikeOut = font.lfStrikeOut != 0;
  return true;
}

}  // namespace varnel::ui
