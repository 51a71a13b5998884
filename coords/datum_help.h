#pragma once
// The help pages that the datum page's help button and the main frame's help command open:
// "internal/tvx_<language>.htm" beside the program, chosen by the option "Idioma". Starting
// the browser is the platform's business; this only names the page.

#include <string>

// "tvx_en.htm", "tvx_de.htm", "tvx_fr.htm", "tvx_sp.htm", "tvx_pt.htm" or "tvx_ru.htm" for
// "Idioma" 0, 1, 2, 3, 4 and 6; English for any other value.
std::string HelpPageName(int language);

// "file:" + the program folder (with its trailing separator) + "internal/" + the page.
std::string HelpPageUrl(const std::string& programFolder, int language);
