#include "coords/linear_unit.h"

LinearUnit LinearUnitFromMetresPerUnit(double metresPerUnit) {
  if (metresPerUnit >= 1.0) return LinearUnit::Metre;
  if (metresPerUnit < 0.3048006) return LinearUnit::InternationalFoot;
  return LinearUnit::UsSurveyFoot;
}
