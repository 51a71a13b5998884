// The navigation compass: a small modeless window (template 149) with a rose that turns with
// the walker's course and a needle that points at the target; its caption or top line gives
// the distance. Two forms: small (70 x 90, the caption is the distance) and large (200 x 220,
// the caption is the target's title and the top line "distance | relative bearing").
// Drawing rules: view/core/nav_compass.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/dialog.h"
#include "view/core/nav_compass.h"

class CNavigationWnd : public CDialog {
 public:
  static constexpr UINT kTemplate = 149;
  static constexpr UINT kToggleSizeCommand = 172;
  static constexpr UINT kMenuButton = 1123;

  // metrica 1: distances in yards. view: the map view's window, which gets the stop command
  // (nullptr: none).
  CNavigationWnd(const std::string& title, int metrica, CWnd* view, CWnd* parent = nullptr);
  // Told when the compass moved or closed (the map under it must be painted again, refit
  // false) and when it lost the capture over the map (refit true).
  void SetMapCoveredHandler(std::function<void(bool refit)> handler) {
    m_mapCovered = std::move(handler);
  }

  // Creates the window modeless (hidden until shown).
  BOOL Create();
  BOOL OnInitDialog() override;
  // Destroys the window; the map view repaints what the compass covered. Closed by the user
  // (its close box, Escape) it also asks the view to stop navigating, as "Exit" does.
  void OnCancel() override;
  // The view's own close when navigation stops: the window goes, nothing more is asked.
  void Close();
  void OnOK() override { OnCancel(); }

  // The target's title (its record was renamed or edited): the large form's caption.
  void SetTitle(const std::string& title);
  // A new reading: course over ground and bearing to the target (degrees), distance (metres).
  void Update(double course, double bearing, double distance);
  void SetLarge(bool large);
  void OnPaint();
  void DrawSmallRose(CDC& dc, const RECT& client);
  void DrawLargeRose(CDC& dc, const RECT& client);
  // The labels' font ("Arial", CompassLabelFontHeight at the screen's dpi; bold in the large
  // form). Each label's box is grown to the label's extent in it.
  static void CreateLabelFont(CFont& font, bool large);

  void OnToggleSize();
  void OnMenuButton();
  void OnStop();
  LRESULT OnMove(WPARAM, LPARAM);
  void OnCaptureChanged(CWnd* window);

  double m_course = 0.0;
  double m_bearing = 0.0;
  CWnd* m_view;
  int m_units;                 // "Metrica" at creation: 1 = yards
  std::uint8_t m_large = 1;
  double m_distance = 0.0;     // metres
  double m_needleAngle = 0.0;  // screen degrees, stored while the large form is painted
  std::string m_title;
  RoseLayout m_rose;           // the rose as last painted (client pixels)
  RECT m_headerBox{};          // the large form's top line as last painted

 private:
  std::function<void(bool refit)> m_mapCovered;
  bool m_closedByView = false;

  DECLARE_MESSAGE_MAP()
};
