#include "coords/datum_help.h"

std::string HelpPageName(int language) {
  switch (language) {
    case 1: return "tvx_de.htm";
    case 2: return "tvx_fr.htm";
    case 3: return "tvx_sp.htm";
    case 4: return "tvx_pt.htm";
    case 6: return "tvx_ru.htm";
    default: return "tvx_en.htm";
  }
}

std::string HelpPageUrl(const std::string& programFolder, int language) {
  return "file:" + programFolder + "internal/" + HelpPageName(language);
}
