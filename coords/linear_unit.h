#pragma once
// The linear unit of the working system, as the area and length texts choose their units.

#include <cstdint>

enum class LinearUnit : std::uint8_t {
  Metre = 0,
  InternationalFoot = 1,  // 0.3048 m
  UsSurveyFoot = 2,       // 1200/3937 m
};

// From GDAL's GetLinearUnits (metres per unit): 1 m or more is a metre system; below
// 0.3048006 m an international foot; anything between a US survey foot.
LinearUnit LinearUnitFromMetresPerUnit(double metresPerUnit);
