// The options sheet: the one place where the user changes the program's settings. The
// document's options command hands it a copy of its option values; after OK the sheet has
// written the pages' values into that copy and the document applies it.
#pragma once

#include <functional>
#include <memory>

#include "coords/ui/page_datum.h"
#include "dialogs/gps_pages.h"
#include "dialogs/options_pages.h"

class CPropiedadesOpciones : public CPropertySheet {
 public:
  // Caption string 59219, page 0 first.
  explicit CPropiedadesOpciones(CWnd* parent);
  ~CPropiedadesOpciones() override;

  // Builds the pages from the values and adds them in their order; the GPS page only when
  // gpsPage is set (the receiver is not being read).
  void AddPages(const OptionPagesValues& values, bool gpsPage);
  // The pages' members after OK (pages never opened keep what AddPages gave them).
  OptionPagesValues Collect() const;
  bool HasGpsPage() const { return m_gps != nullptr; }

  std::unique_ptr<CPageCaptura> m_capture;
  std::unique_ptr<CPaginaUnidades> m_units;
  std::unique_ptr<CPageDatum> m_datum;
  std::unique_ptr<CPageGPS> m_gps;
  std::unique_ptr<CPaginaOtras> m_other;
  std::unique_ptr<CPageFiltro> m_filter;
  std::unique_ptr<CPageWptName> m_waypointName;
  std::unique_ptr<CPageColores> m_display;
  std::unique_ptr<CPageKeys> m_keys;
  std::unique_ptr<CPageNav> m_nav;

 private:
  int metricaAtOpen_ = 0;
};

// What the sheet needs to know besides the option values.
struct OptionsSheetContext {
  CWnd* parent = nullptr;
  bool gpsOpen = false;              // no GPS page while the receiver is read
  bool datumChoiceEnabled = true;    // cleared while measured data exist
  // Runs just before the sheet is shown (the frame's shell bars, while full screen).
  std::function<void(CPropiedadesOpciones&)> beforeShow;
};

// Shows the sheet over the values; on OK writes the pages' values back into options and
// view and answers true; any other end changes nothing.
bool RunOptionsSheet(const OptionsSheetContext& context, CTolvanixDoc::OptionValues& options,
                     ViewOptionValues& view);

// The map view's part of the sheet: its key actions, hot-key switch and overlay. They are
// read from and given back to the document's view (without a view: the options store),
// unless `read` is installed; `apply` runs after they were given back, so the view takes
// the new map font size and hot keys at once.
struct OptionsSheetView {
  std::function<ViewOptionValues()> read;
  std::function<void(const ViewOptionValues&, int fontSize)> apply;
};
void SetOptionsSheetView(OptionsSheetView view);

// Makes the sheet the document's options command (start-up).
void InstallOptionsSheet();
