#include "dialogs/options_sheet.h"

#include "document/document_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/win_app.h"
#include "view/core/view_options.h"

namespace {

constexpr UINT kCaptionId = 59219;  // "Opciones"

OptionsSheetView& ViewHooks() {
  static OptionsSheetView hooks;
  return hooks;
}

ViewOptionValues ReadStoredViewOptions() {
  ViewOptionValues view;
  CWinApp* app = AfxGetApp();
  if (!app) return view;
  for (int k = 0; k < kKeyCount; ++k) {
    int& action = view.keyActions[static_cast<std::size_t>(k)];
    action = static_cast<int>(app->GetProfileInt(kOptionsSection, kKeyOptionNames[k], action));
  }
  view.hotKeys = static_cast<int>(app->GetProfileInt(kOptionsSection, "HKE", view.hotKeys));
  view.overlay = static_cast<int>(app->GetProfileInt(kOptionsSection, "Overlay", view.overlay));
  return view;
}

void WriteStoredViewOptions(const ViewOptionValues& view) {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  platform::OptionsStore::NamedValues values;
  for (int k = 0; k < kKeyCount; ++k)
    values.emplace_back(kKeyOptionNames[k], view.keyActions[static_cast<std::size_t>(k)]);
  values.emplace_back("HKE", view.hotKeys);
  values.emplace_back("Overlay", view.overlay);
  app->WriteProfileValues(kOptionsSection, values);
}

// The map view's own values, when the document's view keeps them (the view derives from
// ViewSettings; the dialogs see only that part of it).
ViewSettings* ViewValuesOf(CTolvanixDoc& doc) {
  return dynamic_cast<ViewSettings*>(CWnd::FromHandle(doc.m_hwndView));
}

ViewOptionValues ReadViewOptions(CTolvanixDoc& doc) {
  ViewSettings* settings = ViewValuesOf(doc);
  if (!settings) return ReadStoredViewOptions();
  ViewOptionValues view;
  for (std::size_t k = 0; k < view.keyActions.size(); ++k)
    view.keyActions[k] = settings->m_keyActions[k];
  view.hotKeys = settings->m_hotKeys;
  view.overlay = settings->m_overlay;
  return view;
}

void GiveViewOptions(CTolvanixDoc& doc, const ViewOptionValues& view) {
  ViewSettings* settings = ViewValuesOf(doc);
  if (!settings) return WriteStoredViewOptions(view);
  for (std::size_t k = 0; k < view.keyActions.size(); ++k)
    settings->m_keyActions[k] = static_cast<std::uint8_t>(view.keyActions[k]);
  settings->m_hotKeys = view.hotKeys;
  settings->m_overlay = view.overlay;
}

}  // namespace

CPropiedadesOpciones::CPropiedadesOpciones(CWnd* parent) : CPropertySheet(kCaptionId, parent, 0) {}

CPropiedadesOpciones::~CPropiedadesOpciones() = default;

void CPropiedadesOpciones::AddPages(const OptionPagesValues& v, bool gpsPage) {
  metricaAtOpen_ = v.metricaAtOpen;

  m_capture = std::make_unique<CPageCaptura>(v.metricaAtOpen);
  m_capture->m_settings = v.capture;

  m_units = std::make_unique<CPaginaUnidades>(v.units.projection);
  m_units->m_settings = v.units;

  m_datum = std::make_unique<CPageDatum>();
  m_datum->m_datumIndex = v.datum.index;
  m_datum->m_values = v.datum.values;
  m_datum->m_comboEnabled = v.datum.choiceEnabled ? TRUE : FALSE;

  m_other = std::make_unique<CPaginaOtras>();
  m_other->m_settings = v.other;

  m_filter = std::make_unique<CPageFiltro>();
  m_filter->m_settings = v.filter;

  m_waypointName = std::make_unique<CPageWptName>();
  m_waypointName->m_settings = v.waypointName;

  m_display = std::make_unique<CPageColores>();
  m_display->m_settings = v.display;

  m_keys = std::make_unique<CPageKeys>();
  m_keys->m_settings = v.keys;

  m_nav = std::make_unique<CPageNav>(v.metricaAtOpen);
  m_nav->m_settings = v.nav;

  AddPage(m_capture.get());
  AddPage(m_units.get());
  AddPage(m_datum.get());
  if (gpsPage) {
    auto gps = std::make_unique<CPageGPS>();
    gps->m_port = v.gps.port;
    gps->m_baudIndex = v.gps.baudIndex;
    gps->m_virtualPort = v.gps.virtualPort;
    gps->m_readerVariant = v.gps.commEventReader;
    AddPage(gps.get());
    m_gps = std::move(gps);
  }
  AddPage(m_other.get());
  AddPage(m_filter.get());
  AddPage(m_waypointName.get());
  AddPage(m_display.get());
  AddPage(m_keys.get());
  AddPage(m_nav.get());
}

OptionPagesValues CPropiedadesOpciones::Collect() const {
  OptionPagesValues v;
  v.metricaAtOpen = metricaAtOpen_;
  v.capture = m_capture->m_settings;
  v.units = m_units->m_settings;
  v.datum.index = m_datum->m_datumIndex;
  v.datum.values = m_datum->m_values;
  v.datum.choiceEnabled = m_datum->m_comboEnabled != FALSE;
  if (const auto* gps = m_gps.get()) {
    v.gps = {gps->m_port, gps->m_baudIndex, gps->m_virtualPort, gps->m_readerVariant};
  }
  v.other = m_other->m_settings;
  v.filter = m_filter->m_settings;
  v.waypointName = m_waypointName->m_settings;
  v.display = m_display->m_settings;
  v.keys = m_keys->m_settings;
  v.nav = m_nav->m_settings;
  return v;
}

bool RunOptionsSheet(const OptionsSheetContext& context, CTolvanixDoc::OptionValues& options,
                     ViewOptionValues& view) {
  OptionPagesValues values = PagesFromOptions(options, view);
  values.datum.choiceEnabled = context.datumChoiceEnabled;
  CPropiedadesOpciones sheet(context.parent);
  sheet.AddPages(values, !context.gpsOpen);
  if (context.beforeShow) context.beforeShow(sheet);
  if (sheet.DoModal() != IDOK) return false;
  OptionsFromPages(sheet.Collect(), sheet.HasGpsPage(), options, view);
  return true;
}

void SetOptionsSheetView(OptionsSheetView view) { ViewHooks() = std::move(view); }

void InstallOptionsSheet() {
  CTolvanixDoc::SetOptionsSheet([](CTolvanixDoc& doc, CTolvanixDoc::OptionValues& options) {
    const OptionsSheetView& hooks = ViewHooks();
    ViewOptionValues view = hooks.read ? hooks.read() : ReadViewOptions(doc);

    OptionsSheetContext context;
    context.parent = CWnd::FromHandle(doc.m_hwndView);
    context.gpsOpen = doc.m_gpsOn;
    const FeatureRecord* current = doc.CurrentFeature();
    context.datumChoiceEnabled = !(current && current->VertexCount() > 0) &&
                                 doc.m_waypoints.empty() && doc.m_samples.empty();
    context.beforeShow = [](CPropiedadesOpciones&) { CTolvanixDoc::Dialogs().ShowShellBars(); };
    if (!RunOptionsSheet(context, options, view)) return false;

    GiveViewOptions(doc, view);
    if (hooks.apply) hooks.apply(view, options.fontSize);
    return true;
  });
}
