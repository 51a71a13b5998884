#include "coords/ui/show_help.h"

#include <cctype>

#include "app/strings.h"
#include "coords/datum_help.h"
#include "platform/desktop_open.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/win_app.h"

std::string FileUrl(const std::string& absolutePath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : absolutePath) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0xF];
    }
  }
  return url;
}

HelpOpening OpenHelpPage(const std::string& programFolder, int language, std::string_view topic) {
  HelpOpening opening;
  const std::string internal = programFolder + "internal/";
  std::string page = internal + HelpPageName(language);
  // Only some languages have a page of their own: the others read the English one.
  if (!platform::FileExists(page)) page = internal + HelpPageName(0);
  if (!platform::FileExists(page)) {
    opening.message = "The help page \"" + internal + HelpPageName(language) + "\" was not found.";
    return opening;
  }
  opening.url = FileUrl(page);
  if (!topic.empty()) opening.url += "#" + std::string(topic);
  std::string why;
  switch (platform::OpenInDesktop(opening.url, &why)) {
    case platform::DesktopOpenResult::Started:
      break;
    case platform::DesktopOpenResult::NoOpener:
      opening.message = "The help cannot be shown: the desktop's opener (xdg-open) was not found. "
                        "The page is " + page + ".";
      break;
    case platform::DesktopOpenResult::SpawnFailed:
      opening.message = "The help cannot be shown: xdg-open could not be started (" + why + ").";
      break;
  }
  return opening;
}

void ShowHelp(std::string_view topic) {
  CWinApp* app = AfxGetApp();
  const int language = app ? static_cast<int>(app->GetProfileInt("Opciones", "Idioma", 0)) : 0;
  const HelpOpening opening = OpenHelpPage(ModuleDirectory, language, topic);
  if (!opening.message.empty()) {
    MessageBox(app ? app->m_hMainWnd : nullptr, opening.message, "Tolvanix PDA",
               MB_OK | MB_ICONEXCLAMATION);
  }
}
