#pragma once
// The help launcher of the datum page's help button and the main frame's help command: the
// help page of the language chosen by "Idioma" ("internal/tvx_en.htm" and its siblings) opens
// in the desktop's browser. The program does not wait for the browser.

#include <string>
#include <string_view>

// The help anchors of the topics that open the page at their section.
inline constexpr std::string_view kHelpTopicDatum = "datum";
inline constexpr std::string_view kHelpTopicProjection = "projection";

// Opens the help page (at `topic` when given) for the language in Opciones\Idioma. A page
// that is missing or a desktop without an opener is told in a message box; nothing else
// happens.
void ShowHelp(std::string_view topic = {});

// What ShowHelp does, without the options and the message box. The language's page is used
// when it exists, else the English one. `message` is empty when the browser was started.
struct HelpOpening {
  std::string url;      // file:///…/internal/tvx_xx.htm#topic (percent-encoded)
  std::string message;  // for the user when nothing could be opened
};
HelpOpening OpenHelpPage(const std::string& programFolder, int language,
                         std::string_view topic = {});

// A "file://" URL of an absolute path: characters other than letters, digits, "-._~/" are
// percent-encoded (UTF-8 bytes), so that spaces and '#' in folder names survive.
std::string FileUrl(const std::string& absolutePath);
